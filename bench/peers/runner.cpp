// Runs one command and prints its wall time and peak RSS:
//
//   runner TIMEOUT_SECONDS OUT ERR COMMAND ARG...
//
// prints "WALL_SECONDS MAXRSS_KIB EXIT_CODE CPU_SECONDS" (user + system) on standard output;
// a command still running after TIMEOUT_SECONDS is killed and reported with exit code -1.
// Linked statically and kept small on purpose: the kernel carries the spawning process's peak
// RSS into the child's ru_maxrss at exec, so a big parent (Python) would hide the child's figure.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

extern char** environ;

namespace {

volatile sig_atomic_t timed_out = 0;
pid_t child = 0;

void on_alarm(int) {
  timed_out = 1;
  kill(child, SIGKILL);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: runner TIMEOUT_SECONDS OUT ERR COMMAND ARG...\n");
    return 2;
  }
  const unsigned timeout = static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, argv[3], O_WRONLY | O_CREAT | O_TRUNC, 0644);

  struct sigaction alarm_action {};
  alarm_action.sa_handler = on_alarm;  // no SA_RESTART: wait4 returns EINTR
  sigaction(SIGALRM, &alarm_action, nullptr);

  timespec start{}, end{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  const int error = posix_spawn(&child, argv[4], &actions, nullptr, argv + 4, environ);
  if (error != 0) {
    std::fprintf(stderr, "runner: cannot start %s (error %d)\n", argv[4], error);
    return 127;
  }
  alarm(timeout);
  int status = 0;
  rusage usage{};
  while (wait4(child, &status, 0, &usage) != child) {
    if (errno != EINTR) return 127;
  }
  clock_gettime(CLOCK_MONOTONIC, &end);
  alarm(0);
  const double seconds = static_cast<double>(end.tv_sec - start.tv_sec) +
                         static_cast<double>(end.tv_nsec - start.tv_nsec) / 1e9;
  const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (timed_out) code = -1;
  std::printf("%.9f %ld %d %.6f\n", seconds, usage.ru_maxrss, code, cpu);
  return 0;
}
