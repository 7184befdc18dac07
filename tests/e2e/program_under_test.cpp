#include "program_under_test.hpp"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace e2e {

std::vector<std::string> testedCommand(const char* variable,
                                       const std::vector<std::string>& arguments) {
  const char* program = std::getenv(variable);
  if (program == nullptr || *program == '\0')
    throw std::runtime_error(std::string(variable) + " does not name the program to test");
  // The program runs in a scratch folder, so a relative path would miss it.
  std::vector<std::string> command = {std::filesystem::absolute(program).string()};
  command.insert(command.end(), arguments.begin(), arguments.end());
  return hostCommand(std::move(command));
}

std::vector<std::string> programCommand(const std::vector<std::string>& arguments) {
  return testedCommand("GEOBUDGET_PROGRAM", arguments);
}

std::vector<std::string> hostCommand(std::vector<std::string> command) {
  std::vector<std::string> launched;
  if (const char* launcher = std::getenv("GEOBUDGET_LAUNCHER")) {
    std::istringstream words(launcher);
    launched.assign(std::istream_iterator<std::string>(words),
                    std::istream_iterator<std::string>());
  }
  launched.insert(launched.end(), command.begin(), command.end());
  return launched;
}

bool windowsHost() {
  const char* host = std::getenv("GEOBUDGET_HOST");
  return host != nullptr && std::string_view(host) == "windows";
}

const char* whyOutputIsHidden(const Output& output) {
  if (windowsHost() && output.kind == Output::Kind::Terminal)
    return "Wine puts a console of its own between the program and a terminal, and redraws "
           "the terminal with escape sequences";
  return nullptr;
}

ScratchDirectory::ScratchDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "geobudget-e2e-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr)
    throw std::runtime_error("cannot create a scratch folder in " + pattern);
  path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::set<std::string> ScratchDirectory::contents() const {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path_))
    names.insert(entry.path().lexically_relative(path_).generic_string());
  return names;
}

std::string ScratchDirectory::read(const std::string& name) const {
  std::ifstream file(path_ / name, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + name);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void ScratchDirectory::write(const std::string& name, std::string_view bytes) const {
  std::ofstream file(path_ / name, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + name);
}

std::optional<ErrorReport> parseErrorReport(std::string_view text) {
  static const std::regex header("Runtime error ([1-9][0-9]*) at 0x([0-9A-F]{8})");
  static const std::regex traceLine("  0x([0-9A-F]{8})");
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) return std::nullopt;
    lines.emplace_back(text.substr(start, end - start));
    start = end + 2;
  }
  if (lines.size() < 2 || !lines.back().empty()) return std::nullopt;
  std::smatch part;
  if (!std::regex_match(lines.front(), part, header)) return std::nullopt;
  ErrorReport parsed{std::stoi(part[1]), part[2], {}};
  for (std::size_t line = 1; line + 1 < lines.size(); ++line) {
    if (!std::regex_match(lines[line], part, traceLine)) return std::nullopt;
    parsed.trace.push_back(part[1]);
  }
  return parsed;
}

Outcome runProgram(const ScratchDirectory& directory, const Input& input, const Output& output,
                   const std::vector<std::string>& arguments) {
  return run(programCommand(arguments), directory.path(), input, output);
}

}  // namespace e2e
