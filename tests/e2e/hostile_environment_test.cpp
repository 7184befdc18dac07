// Hostile surroundings: standard descriptors closed, links for a name, the
// longest name, a folder and a file the user may not write, an endless first
// line, garbage for a reply.  Every run ends with a correct report or the
// documented error: never a hang, a crash, a word on standard error, or a
// file emptied that was not the destination.

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "expected_report.hpp"
#include "program_under_test.hpp"

namespace e2e {
namespace {

namespace fs = std::filesystem;

// Files every run finds in its working folder, with their bytes; no run may
// change them.
const std::map<std::string, std::string> filesPresent = {
    {"sentinel.txt", "sentinel contents\r\n"},
    {"read-only.txt", "read-only contents\r\n"},  // mode 0444
};

// Whether `user` may start the program in `folder`: a child takes on the user
// as the runner would, and asks.
bool mayStart(const User& user, const fs::path& program, const fs::path& folder) {
  const pid_t child = ::fork();
  if (child == 0) {
    const bool may = ::setgroups(0, nullptr) == 0 && ::setgid(user.gid) == 0 &&
                     ::setuid(user.uid) == 0 && ::access(program.c_str(), X_OK) == 0 &&
                     ::access(folder.c_str(), X_OK) == 0;
    ::_exit(may ? 0 : 1);
  }
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

// Arranges for the program to run without root's rights over `folder`: as the
// test's own user when that is not root, otherwise as nobody, who is given
// `ownedNames` there.  Returns why that cannot be arranged, or nothing.
std::string runUnprivileged(ChildSetup& setup, const fs::path& folder,
                            const std::vector<std::string>& ownedNames) {
  if (::geteuid() != 0) return "";
  const passwd* nobody = ::getpwnam("nobody");
  if (nobody == nullptr) return "running as root, and there is no user nobody to run as";
  const User user{nobody->pw_uid, nobody->pw_gid};
  fs::permissions(folder, fs::perms::others_exec, fs::perm_options::add);
  if (!mayStart(user, programCommand().front(), folder))
    return "running as root, and nobody cannot start " + programCommand().front() + " in " +
           folder.string();
  for (const std::string& name : ownedNames)
    if (::lchown((folder / name).c_str(), user.uid, user.gid) != 0)
      return "cannot hand " + name + " to nobody";
  setup.user = user;
  return "";
}

struct HostileCase {
  const char* name;
  Input input;
  Output standardOutput;
  bool standardErrorClosed;
  bool unprivileged;       // run without root's rights
  int status;              // the exit status: 0, or the error's number
  std::string reportFile;  // status 0: the new file holding the report; empty: standard output

  friend void PrintTo(const HostileCase& row, std::ostream* out) { *out << row.name; }
};

// 125 two-byte letters and ".txt": 255 bytes, the most a folder entry takes.
const std::string longestName = [] {
  std::string name;
  for (int letter = 0; letter < 125; ++letter) name += "\xC3\xA9";
  return name + ".txt";
}();

// A first line of a mebibyte, far more than any pipe holds at once.
const std::string megabyteLine = std::string(1 << 20, 'a') + "\r\nsecond.txt\r\n";

const HostileCase hostileCases[] = {
    // Standard descriptors closed.  With standard output closed the prompt
    // cannot be handed over, and the error report is lost with it.
    {"StandardInputClosed", Input::closed(), Output::pipe(), false, false, 6, ""},
    {"StandardOutputClosed", Input::of("report.txt\r\n"), Output::closed(), false, false, 101, ""},
    {"StandardErrorClosed", Input::of("\r\n"), Output::pipe(), true, false, 0, ""},
    // Descriptor 2 is free when the report file is opened; the file still
    // gets the whole report and nothing else.
    {"StandardErrorClosedReportToFile", Input::of("report.txt\r\n"), Output::pipe(), true, false, 0,
     "report.txt"},

    // Symbolic links: opening follows them, and creates a dangling link's target.
    {"LinkToFolder", Input::of("link-to-folder\r\n"), Output::pipe(), false, false, 5, ""},
    {"DanglingLink", Input::of("dangling\r\n"), Output::pipe(), false, false, 0, "target.txt"},
    {"DanglingLinkIntoMissingFolder", Input::of("dangling-into-missing\r\n"), Output::pipe(), false,
     false, 3, ""},

    // Names at the limits.
    {"NameOf255Bytes", Input::of(longestName + "\r\n"), Output::pipe(), false, false, 0,
     longestName},
    {"FirstLineOfAMebibyte", Input::of(megabyteLine), Output::pipe(), false, false, 0,
     std::string(255, 'a')},

    // Places the user may not write.
    {"ReadOnlyFolder", Input::of("read-only/report.txt\r\n"), Output::pipe(), false, true, 5, ""},
    {"ReadOnlyFile", Input::of("read-only.txt\r\n"), Output::pipe(), false, true, 5, ""},
};

class HostileEnvironment : public testing::TestWithParam<HostileCase> {
 protected:
  void SetUp() override {
    if (windowsHost()) GTEST_SKIP() << "descriptors, links and modes of the POSIX host";
    const fs::path& folder = scratch.path();
    for (const auto& [name, bytes] : filesPresent) scratch.write(name, bytes);
    const fs::perms readable =
        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    const fs::perms searchable =
        fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    fs::permissions(folder / "read-only.txt", readable);
    fs::create_directory(folder / "folder");
    fs::create_directory(folder / "read-only");
    fs::permissions(folder / "read-only", readable | searchable);
    fs::create_directory_symlink("folder", folder / "link-to-folder");
    fs::create_symlink("target.txt", folder / "dangling");
    fs::create_symlink("missing/target.txt", folder / "dangling-into-missing");
  }

  ScratchDirectory scratch;
};

TEST_P(HostileEnvironment, EndsWithTheReportOrTheDocumentedError) {
  const HostileCase& row = GetParam();
  ChildSetup setup;
  setup.standardErrorClosed = row.standardErrorClosed;
  if (row.unprivileged) {
    const std::string reason =
        runUnprivileged(setup, scratch.path(), {"read-only", "read-only.txt"});
    if (!reason.empty()) GTEST_SKIP() << reason;
  }
  std::set<std::string> expectedContents = scratch.contents();
  if (!row.reportFile.empty()) expectedContents.insert(row.reportFile);

  Process program(programCommand(), scratch.path(), row.input, row.standardOutput, defaultTimeLimit,
                  setup);
  const Outcome outcome = program.finish();

  EXPECT_TRUE(outcome.exitedWith(row.status)) << outcome.describe();
  EXPECT_EQ(outcome.errorOutput, "");
  if (row.standardOutput.kind == Output::Kind::Pipe && row.status == 0) {
    EXPECT_EQ(outcome.output,
              std::string(promptText) + std::string(row.reportFile.empty() ? reportText : ""));
  } else if (row.standardOutput.kind == Output::Kind::Pipe) {
    const std::string header =
        std::string(promptText) + "Runtime error " + std::to_string(row.status) + " at 0x";
    EXPECT_EQ(outcome.output.rfind(header, 0), 0u) << testing::PrintToString(outcome.output);
  }
  EXPECT_EQ(scratch.contents(), expectedContents);
  if (!row.reportFile.empty()) {
    EXPECT_EQ(scratch.read(row.reportFile), reportText);
  }
  for (const auto& [name, bytes] : filesPresent) EXPECT_EQ(scratch.read(name), bytes) << name;
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileEnvironment, testing::ValuesIn(hostileCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The name a reply gives: its first line, at most 255 bytes, up to its first NUL.
std::string nameIn(const std::string& reply) {
  const std::string line = reply.substr(0, reply.find_first_of("\r\n")).substr(0, 255);
  return line.substr(0, line.find('\0'));
}

// Random bytes for a reply, the same on every run, one run after the other in
// one folder.  A name without '/' is a new file in the folder, one with '/'
// names a folder that is not there (3; 5 for a name ending in '/').  A reply
// never starts with '/', so no name leaves the folder through the root.
TEST(GarbageReply, EndsWithTheReportOrTheDocumentedError) {
  if (windowsHost()) GTEST_SKIP() << "names of the POSIX host";
  ScratchDirectory scratch;
  std::map<std::string, std::string> files = {{"sentinel.txt", "sentinel contents\r\n"}};
  scratch.write("sentinel.txt", files["sentinel.txt"]);
  std::mt19937 random(20250611);

  for (int attempt = 0; attempt < 32; ++attempt) {
    std::string reply(random() % 400, '\0');
    for (char& byte : reply) byte = static_cast<char>(random() & 0xFF);
    if (!reply.empty() && reply.front() == '/') reply.front() = 'g';
    const std::string name = nameIn(reply);
    SCOPED_TRACE("reply " + testing::PrintToString(reply));

    const Outcome outcome = runProgram(scratch, Input::of(reply));

    EXPECT_EQ(outcome.errorOutput, "");
    if (name.find('/') != std::string::npos) {
      EXPECT_TRUE(outcome.exitedWith(3) || outcome.exitedWith(5)) << outcome.describe();
      const std::string header = std::string(promptText) + "Runtime error " +
                                 std::to_string(outcome.exitStatus) + " at 0x";
      EXPECT_EQ(outcome.output.rfind(header, 0), 0u) << testing::PrintToString(outcome.output);
    } else {
      EXPECT_TRUE(outcome.exitedWith(0)) << outcome.describe();
      EXPECT_EQ(outcome.output,
                std::string(promptText) + std::string(name.empty() ? reportText : ""));
      if (!name.empty()) files[name] = reportText;
    }
    std::set<std::string> expectedContents;
    for (const auto& [present, bytes] : files) {
      expectedContents.insert(present);
      EXPECT_EQ(scratch.read(present), bytes) << testing::PrintToString(present);
    }
    EXPECT_EQ(scratch.contents(), expectedContents);
  }
}

}  // namespace
}  // namespace e2e
