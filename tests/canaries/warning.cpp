#include "shadow_warning.hpp"
