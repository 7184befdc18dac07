#pragma once
// Where the program under test is, how to start it, and a fresh folder for
// each test to run it in.

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "process_runner.hpp"

namespace e2e {

// The command that starts the program that environment variable `variable`
// names, with `arguments`: the launcher words from GEOBUDGET_LAUNCHER, if any,
// then the program's absolute path.
std::vector<std::string> testedCommand(const char* variable,
                                       const std::vector<std::string>& arguments);

// The command that starts the program (GEOBUDGET_PROGRAM) with `arguments`.
std::vector<std::string> programCommand(const std::vector<std::string>& arguments = {});

// `command` started on the program's host: after the launcher words, if any.
std::vector<std::string> hostCommand(std::vector<std::string> command);

// Whether the program is a Windows build (GEOBUDGET_HOST=windows), run
// through a launcher; some expectations differ by host.
bool windowsHost();

// Why the tests cannot see the bytes the program writes to `output`, or null
// when they can.
const char* whyOutputIsHidden(const Output& output);

// A folder of its own for one test, removed with everything in it at the end.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // Every entry below the folder, as '/'-separated relative names.
  std::set<std::string> contents() const;

  // The bytes of the file `name`, relative to the folder.
  std::string read(const std::string& name) const;

  // Creates or replaces the file `name` with `bytes`.
  void write(const std::string& name, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
};

// An error report taken apart.
struct ErrorReport {
  int number;
  std::string location;            // 8 upper-case hexadecimal digits
  std::vector<std::string> trace;  // the back-trace lines' locations, innermost first
};

// `text` as an error report (the header, back-trace lines and an empty line,
// each ended by CR LF), or nothing when it is anything else, a single byte
// more or less included.
std::optional<ErrorReport> parseErrorReport(std::string_view text);

// Runs the program in `directory` with the given standard handles.
Outcome runProgram(const ScratchDirectory& directory, const Input& input,
                   const Output& output = Output::pipe(),
                   const std::vector<std::string>& arguments = {});

}  // namespace e2e
