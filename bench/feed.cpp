// Starts a program with a file as its standard input.  hyperfine, run without
// a shell, gives every command an empty standard input, and geobudget reads
// its reply from there.  The benchmark starts /bin/true through it as well,
// so the cost of this extra program start lies on both sides of a comparison.
// Usage: feed INPUT PROGRAM [ARGUMENT...]

#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const int input = open(argv[1], O_RDONLY | O_CLOEXEC);
  if (input < 0 || dup2(input, STDIN_FILENO) < 0) return 2;
  execv(argv[2], argv + 2);
  return 127;
}
