/* The same report as car_report, as the plain C program a user might write
 * instead: the yardstick the benchmark measures car_report against. */
#include <stdio.h>

int main(void) {
    printf("brand: %s model: %s Production year: %d Kms driven: %d\n", "Lamborghini", "234", 1999,
           1550);
    printf("brand: %s model: %s Production year: %d Kms driven: %d\n", "Fiat", "136p", 1920, 2552);
    printf("brand: %s model: %s Production year: %d Kms driven: %d\n", "Tesla", "2.0", 2018, 25525);
    printf("Samochod przejechal %dkms\n", 1550 + 200);
    printf("Samochod przejechal %dkms\n", 2552 + 300);
    printf("Samochod przejechal %dkms\n", 25525 + 400);
    puts("The car is old");
    puts("The car is old");
    puts("The car is pretty new ");
    return 0;
}
