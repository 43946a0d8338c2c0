/* Times whole processes: runs the given programs in turn, many rounds, with
 * standard output sent to /dev/null, and prints each one's median wall time.
 *
 * usage: time_runs ROUNDS WARMUP PROGRAM...
 *   ROUNDS  timed rounds, 1 to 100000; WARMUP  untimed rounds first, 0 to 1000
 *
 * The programs alternate within every round and the one that goes first
 * rotates from round to round, so a drift in the machine's speed reaches all
 * of them alike. Each program must exit with status 0. */
#define _POSIX_C_SOURCE 200809L

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>

extern char** environ;

static double seconds_since(const struct timespec* start) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)(now.tv_sec - start->tv_sec) + (double)(now.tv_nsec - start->tv_nsec) / 1e9;
}

/* Runs one program from spawn to reaped exit and returns the seconds it took. */
static double run_once(const char* program, const posix_spawn_file_actions_t* actions) {
    char* const argv[] = {(char*)program, NULL};
    struct timespec start;
    pid_t pid;
    int status;

    clock_gettime(CLOCK_MONOTONIC, &start);
    int error = posix_spawn(&pid, program, actions, NULL, argv, environ);
    if (error != 0) {
        fprintf(stderr, "time_runs: cannot start %s: %s\n", program, strerror(error));
        exit(2);
    }
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            perror("time_runs: waitpid");
            exit(2);
        }
    }
    double elapsed = seconds_since(&start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fprintf(stderr, "time_runs: %s did not exit with status 0\n", program);
        exit(2);
    }
    return elapsed;
}

static int compare_doubles(const void* a, const void* b) {
    double x = *(const double*)a;
    double y = *(const double*)b;
    return (x > y) - (x < y);
}

/* Reads a whole decimal number from min to max, or says what is wrong and exits. */
static long whole_number(const char* name, const char* text, long min, long max) {
    char* end = NULL;
    errno = 0;
    long value = strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || value < min || value > max) {
        fprintf(stderr, "time_runs: %s must be a whole number from %ld to %ld, not \"%s\"\n", name,
                min, max, text);
        exit(2);
    }
    return value;
}

static double median(double* values, long count) {
    qsort(values, (size_t)count, sizeof *values, compare_doubles);
    return count % 2 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
}

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: time_runs ROUNDS WARMUP PROGRAM...\n");
        return 2;
    }
    /* Bounded so that the table of times stays small and its size cannot wrap. */
    long rounds = whole_number("ROUNDS", argv[1], 1, 100000);
    long warmup = whole_number("WARMUP", argv[2], 0, 1000);
    int programs = argc - 3;
    char** program = argv + 3;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);

    double* times = malloc((size_t)rounds * (size_t)programs * sizeof *times);
    if (times == NULL) {
        perror("time_runs");
        return 2;
    }
    for (long round = -warmup; round < rounds; ++round) {
        for (int turn = 0; turn < programs; ++turn) {
            int which = (int)((round + warmup + turn) % programs);
            double elapsed = run_once(program[which], &actions);
            if (round >= 0) {
                times[(long)which * rounds + round] = elapsed;
            }
        }
    }
    for (int which = 0; which < programs; ++which) {
        printf("%s %.1f\n", program[which], median(times + (long)which * rounds, rounds) * 1e6);
    }
    free(times);
    posix_spawn_file_actions_destroy(&actions);
    return 0;
}
