// veerline-cli library commands, run as the built program on temporary files.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Result {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class LibraryCli : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "veerline-cli-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    mFolder = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(mFolder, ec);
  }

  fs::path Path(const std::string& name) const { return mFolder / name; }

  // Runs veerline-cli with the arguments (already quoted where needed).
  Result Run(const std::string& arguments) const {
    const fs::path out = Path("stdout.txt");
    const fs::path err = Path("stderr.txt");
    const std::string command = std::string("'") + VEERLINE_BINARY_DIR "/bin/veerline-cli' " +
                                arguments + " >'" + out.string() + "' 2>'" + err.string() + "'";
    const int status = std::system(command.c_str());
    Result result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadText(out);
    result.err = ReadText(err);
    return result;
  }

  std::string Quoted(const fs::path& file) const { return "'" + file.string() + "'"; }

  // A library made from the default vehicles.
  fs::path DefaultLibrary() const {
    const fs::path lib = Path("lib.vdt");
    const Result r =
        Run("library import " + Quoted(lib) + " " + Quoted(DefaultJson()) + " --quiet");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    return lib;
  }

  static fs::path DefaultJson() {
    return fs::path(VEERLINE_SOURCE_DIR) / "examples/DefaultVehicles.json";
  }

  fs::path mFolder;
};

// The error report is a single line naming the program.
void ExpectOneLineError(const Result& r) {
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err.rfind("veerline-cli: ", 0), 0u) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST_F(LibraryCli, ImportThenExportKeepsEveryFieldOfEveryType) {
  const nlohmann::json source = nlohmann::json::parse(ReadText(DefaultJson()));
  const fs::path lib = Path("lib.vdt");
  const Result imported = Run("library import " + Quoted(lib) + " " + Quoted(DefaultJson()));
  ASSERT_EQ(imported.exitCode, 0) << imported.err;
  std::string numbers;
  for (std::size_t i = 1; i <= source.size(); ++i) numbers += std::to_string(i) + "\n";
  EXPECT_EQ(imported.out, numbers);
  EXPECT_EQ(fs::file_size(lib), 1634 * source.size());

  const Result exported = Run("library export " + Quoted(lib));
  ASSERT_EQ(exported.exitCode, 0) << exported.err;
  const nlohmann::json back = nlohmann::json::parse(exported.out);
  ASSERT_EQ(back.size(), source.size());
  std::set<int> types;
  for (std::size_t i = 0; i < source.size(); ++i) {
    SCOPED_TRACE(source[i]["Name"].get<std::string>());
    nlohmann::json entry = back[i];
    EXPECT_EQ(entry["Record"], i + 1);
    entry.erase("Record");
    EXPECT_EQ(entry, source[i]);  // same keys, exactly the same numbers
    types.insert(source[i]["Type"].get<int>());
  }
  EXPECT_EQ(types.size(), 13u);
}

TEST_F(LibraryCli, ExportedJsonRebuildsTheSameFile) {
  const fs::path lib = DefaultLibrary();
  const Result exported = Run("library export " + Quoted(lib));
  ASSERT_EQ(exported.exitCode, 0);
  std::ofstream(Path("export.json")) << exported.out;
  const fs::path copy = Path("copy.vdt");
  ASSERT_EQ(Run("library import " + Quoted(copy) + " " + Quoted(Path("export.json"))).exitCode, 0);
  EXPECT_EQ(ReadText(copy), ReadText(lib));
}

TEST_F(LibraryCli, ListShowsRecordNameAndTypeOfVehiclesInUse) {
  const fs::path lib = DefaultLibrary();
  ASSERT_EQ(Run("library delete " + Quoted(lib) + " 2").exitCode, 0);
  const Result r = Run("library list " + Quoted(lib));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::istringstream lines(r.out);
  std::string first, second;
  std::getline(lines, first);
  std::getline(lines, second);
  EXPECT_EQ(first, "1\tSU-9 Single-unit truck\tTruck");
  EXPECT_EQ(second.substr(0, 2), "3\t");
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 13);
  // The deleted slot is reused by the next import.
  const std::string one =
      "{\"Name\": \"  Solo  \", \"Type\": 7, \"Unit\": 1, \"MaxTurningAngle\": 35,"
      " \"MaxSegmentAngle\": 80, \"LockToLockTime\": 4, \"Front\": 0.9,"
      " \"Wheelbase\": 2.7, \"Back\": 0.8, \"VehicleWidth\": 1.8,"
      " \"WheelWidth\": 1.6}";
  std::ofstream(Path("one.json")) << one;
  const Result added = Run("library import " + Quoted(lib) + " " + Quoted(Path("one.json")));
  EXPECT_EQ(added.out, "2\n");
  EXPECT_NE(Run("library list " + Quoted(lib)).out.find("\n2\tSolo\tCar\n"), std::string::npos);
}

TEST_F(LibraryCli, RefusedImportLeavesTheLibraryUnchanged) {
  const fs::path lib = DefaultLibrary();
  const std::string before = ReadText(lib);
  const std::string valid = ReadText(DefaultJson());
  nlohmann::json secondBad = nlohmann::json::parse(valid);
  secondBad[5]["Type"] = 14;
  nlohmann::json unknownKey = nlohmann::json::parse(valid);
  unknownKey[13]["Trailer"] = 1;
  for (const std::string& text :
       {std::string("[{\"Name\": \"x\""), valid.substr(0, valid.size() / 2), std::string(""),
        secondBad.dump(), unknownKey.dump(), std::string("\"just text\"")}) {
    SCOPED_TRACE(text.substr(0, 60));
    std::ofstream(Path("bad.json"), std::ios::trunc) << text;
    const Result r = Run("library import " + Quoted(lib) + " " + Quoted(Path("bad.json")));
    ExpectOneLineError(r);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadText(lib), before);
  }
  // A refused import into a new library creates no file.
  const fs::path fresh = Path("fresh.vdt");
  EXPECT_EQ(Run("library import " + Quoted(fresh) + " " + Quoted(Path("bad.json"))).exitCode, 2);
  EXPECT_FALSE(fs::exists(fresh));
}

TEST_F(LibraryCli, MissingFilesAreErrorsAndNothingIsCreated) {
  const fs::path missing = Path("missing.vdt");
  for (const std::string& command :
       {"library list " + Quoted(missing), "library export " + Quoted(missing),
        "library delete " + Quoted(missing) + " 1",
        "library import " + Quoted(Path("lib.vdt")) + " " + Quoted(Path("none.json")),
        "library import " + Quoted(Path("no/lib.vdt")) + " " + Quoted(DefaultJson())}) {
    SCOPED_TRACE(command);
    ExpectOneLineError(Run(command));
  }
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_FALSE(fs::exists(Path("lib.vdt")));
}

TEST_F(LibraryCli, BadArgumentsAndRecordNumbersAreRefused) {
  const fs::path lib = DefaultLibrary();
  ASSERT_EQ(Run("library delete " + Quoted(lib) + " 3").exitCode, 0);
  const std::string before = ReadText(lib);
  for (const std::string& arguments :
       {"library delete " + Quoted(lib) + " 0", "library delete " + Quoted(lib) + " 15",
        "library delete " + Quoted(lib) + " 3", "library delete " + Quoted(lib) + " -1",
        "library delete " + Quoted(lib) + " 99999999999", "library delete " + Quoted(lib) + " two",
        "library list " + Quoted(lib) + " --colour", "library frobnicate " + Quoted(lib),
        std::string("library list")}) {
    SCOPED_TRACE(arguments);
    ExpectOneLineError(Run(arguments));
  }
  EXPECT_EQ(ReadText(lib), before);
}

TEST_F(LibraryCli, ExportRefusesAVehicleWithoutAJsonForm) {
  const fs::path lib = DefaultLibrary();
  std::string bytes = ReadText(lib);
  bytes[1634 * 4 + 352] = 20;  // record 5: type 20
  std::ofstream(lib, std::ios::binary | std::ios::trunc) << bytes;
  const Result r = Run("library export " + Quoted(lib));
  ExpectOneLineError(r);
  EXPECT_NE(r.err.find("record 5"), std::string::npos) << r.err;
  // Listing still works and names the odd type.
  const Result listed = Run("library list " + Quoted(lib));
  EXPECT_EQ(listed.exitCode, 0);
  EXPECT_NE(listed.out.find("\tunknown type 20\n"), std::string::npos);
}

}  // namespace
