// Record operations on library files: slot reuse, file sizes, odd files and
// failures that must leave the file as it was.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "TempLibrary.h"
#include "library/VehicleDataFile.h"

namespace veerline::library {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

VehicleRecord Named(const std::string& name, int type = 1) {
  VehicleRecord v = VehicleRecord::Defaults();
  v.Name = name;
  v.Type = static_cast<std::int16_t>(type);
  v.Unit = 1;
  return v;
}

std::vector<std::int32_t> Records(const std::filesystem::path& file) {
  std::vector<std::int32_t> records;
  for (const ListedVehicle& listed : ListVehicleRecords(file)) records.push_back(listed.record);
  return records;
}

void SetFreeFlag(std::vector<std::uint8_t>& bytes, std::int32_t record, int flag) {
  const std::size_t at = 1634 * (record - 1) + 350;
  bytes[at] = static_cast<std::uint8_t>(flag & 0xFF);
  bytes[at + 1] = static_cast<std::uint8_t>((flag >> 8) & 0xFF);
}

TEST(VehicleDataFile, MissingFileIsCreatedEmptyAndListsNothing) {
  TempFolder folder;
  const auto file = folder / "new.vdt";
  EXPECT_TRUE(ListVehicleRecords(file).empty());
  ASSERT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(std::filesystem::file_size(file), 0u);
}

TEST(VehicleDataFile, FirstAddIsRecordOneOfOneRecordLength) {
  TempFolder folder;
  const auto file = folder / "lib.vdt";
  EXPECT_EQ(AddVehicleRecord(file, Named("Truck A")), 1);
  EXPECT_EQ(std::filesystem::file_size(file), 1634u);
  const auto listed = ListVehicleRecords(file);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].record, 1);
  EXPECT_EQ(listed[0].name, "Truck A" + std::string(93, ' '));  // field as stored
  EXPECT_EQ(ReadVehicleRecord(file, 1), Named("Truck A"));
}

TEST(VehicleDataFile, DeletedSlotIsReusedAndFileNeverShrinks) {
  TempFolder folder;
  const auto file = folder / "lib.vdt";
  for (const char* name : {"A", "B", "C"}) AddVehicleRecord(file, Named(name));
  DeleteVehicleRecord(file, 2);
  EXPECT_EQ(std::filesystem::file_size(file), 4902u);
  EXPECT_EQ(Records(file), (std::vector<std::int32_t>{1, 3}));
  EXPECT_EQ(AddVehicleRecord(file, Named("D", 10)), 2);
  EXPECT_EQ(std::filesystem::file_size(file), 4902u);
  EXPECT_EQ(ReadVehicleRecord(file, 2), Named("D", 10));
  EXPECT_EQ(AddVehicleRecord(file, Named("E")), 4);
  EXPECT_EQ(std::filesystem::file_size(file), 6536u);
}

TEST(VehicleDataFile, FirstOfSeveralFreeSlotsIsReused) {
  TempFolder folder;
  const auto file = folder / "lib.vdt";
  for (const char* name : {"A", "B", "C", "D"}) AddVehicleRecord(file, Named(name));
  DeleteVehicleRecord(file, 4);
  DeleteVehicleRecord(file, 2);
  EXPECT_EQ(AddVehicleRecord(file, Named("E")), 2);
  EXPECT_EQ(AddVehicleRecord(file, Named("F")), 4);
}

TEST(VehicleDataFile, DeleteChangesOnlyTheFreeFlag) {
  TempFolder folder;
  const auto file = folder / "lib.vdt";
  for (const char* name : {"A", "B"}) AddVehicleRecord(file, Named(name));
  auto before = ReadBytes(file);
  DeleteVehicleRecord(file, 2);
  SetFreeFlag(before, 2, -1);
  EXPECT_EQ(ReadBytes(file), before);
}

TEST(VehicleDataFile, WriteReplacesOnlyItsOwnRecord) {
  TempFolder folder;
  const auto file = folder / "lib.vdt";
  for (const char* name : {"A", "B", "C"}) AddVehicleRecord(file, Named(name));
  const auto before = ReadBytes(file);
  WriteVehicleRecord(file, Named("B2", 3), 2);
  const auto after = ReadBytes(file);
  ASSERT_EQ(after.size(), before.size());
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + 1634, after.begin()));
  EXPECT_TRUE(std::equal(before.begin() + 3268, before.end(), after.begin() + 3268));
  EXPECT_EQ(ReadVehicleRecord(file, 2), Named("B2", 3));
}

TEST(VehicleDataFile, FlagOtherThanZeroOrMinusOneIsNeitherListedNorReused) {
  TempFolder folder;
  const auto file = folder / "lib.vdt";
  for (const char* name : {"A", "B"}) AddVehicleRecord(file, Named(name));
  auto bytes = ReadBytes(file);
  SetFreeFlag(bytes, 1, 1);
  WriteBytes(file, bytes);
  EXPECT_EQ(Records(file), (std::vector<std::int32_t>{2}));
  EXPECT_EQ(AddVehicleRecord(file, Named("C")), 3);
  EXPECT_EQ(ReadBytes(file)[350], 1);
}

TEST(VehicleDataFile, RecordNumbersOutsideTheFileAreRefused) {
  TempFolder folder;
  const auto file = folder / "lib.vdt";
  AddVehicleRecord(file, Named("A"));
  const auto before = ReadBytes(file);
  for (std::int32_t record : {0, -1, 2, 40000}) {
    SCOPED_TRACE(record);
    EXPECT_THROW(ReadVehicleRecord(file, record), LibraryFileError);
    EXPECT_THROW(WriteVehicleRecord(file, Named("X"), record), LibraryFileError);
    EXPECT_THROW(DeleteVehicleRecord(file, record), LibraryFileError);
  }
  EXPECT_EQ(ReadBytes(file), before);
}

// The count is the length over 1634 rounded half to even. A partial last record
// that counts reads its missing bytes as zeros; one that does not is ignored
// and overwritten by the next record added.
TEST(VehicleDataFile, PartialLastRecordFollowsTheRoundedCount) {
  TempFolder folder;
  const auto file = folder / "lib.vdt";
  AddVehicleRecord(file, Named("A"));
  AddVehicleRecord(file, Named("B", 10));
  const auto whole = ReadBytes(file);

  // 1000 of record 2's bytes: more than half, so two records.
  WriteBytes(file, {whole.begin(), whole.begin() + 1634 + 1000});
  EXPECT_EQ(Records(file), (std::vector<std::int32_t>{1, 2}));
  const VehicleRecord partial = ReadVehicleRecord(file, 2);
  EXPECT_EQ(partial.Name, "B");
  EXPECT_EQ(partial.Type, 10);
  EXPECT_EQ(partial.Unit, 1);
  EXPECT_EQ(partial[Dimension::Front2], VehicleRecord::Defaults()[Dimension::Front2]);  // S2: in
  EXPECT_EQ(partial[Dimension::Front3], 0.0);  // S4 lies past the end
  EXPECT_EQ(partial[Dimension::Hitch4], 0.0);

  // 500 bytes: less than half, so one record; the next add replaces the rest.
  WriteBytes(file, {whole.begin(), whole.begin() + 1634 + 500});
  EXPECT_EQ(Records(file), (std::vector<std::int32_t>{1}));
  EXPECT_EQ(AddVehicleRecord(file, Named("C")), 2);
  EXPECT_EQ(std::filesystem::file_size(file), 3268u);

  // Exactly half a record: 0.5 rounds to 0, 1.5 rounds to 2.
  WriteBytes(file, {whole.begin(), whole.begin() + 817});
  EXPECT_TRUE(ListVehicleRecords(file).empty());
  WriteBytes(file, {whole.begin(), whole.begin() + 1634 + 817});
  EXPECT_EQ(Records(file), (std::vector<std::int32_t>{1, 2}));
}

TEST(VehicleDataFile, OutOfRangeCodesAreListedAndReadWithoutFailing) {
  TempFolder folder;
  const auto file = folder / "lib.vdt";
  AddVehicleRecord(file, Named("A"));
  auto bytes = ReadBytes(file);
  bytes[352] = 99;  // type
  bytes[490] = 42;  // unit
  WriteBytes(file, bytes);
  ASSERT_EQ(Records(file), (std::vector<std::int32_t>{1}));
  const VehicleRecord v = ReadVehicleRecord(file, 1);
  EXPECT_EQ(v.Type, 99);
  EXPECT_EQ(v.Unit, 42);
}

TEST(VehicleDataFile, ZeroFilledFileListsNamelessRecords) {
  TempFolder folder;
  const auto file = folder / "zeros.vdt";
  WriteBytes(file, std::vector<std::uint8_t>(2 * 1634, 0));
  EXPECT_EQ(Records(file), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(ReadVehicleRecord(file, 1).Type, 0);
}

// A drawing or a picture opened as a library is refused and never written;
// odd but genuine records (flag 1, zeros, a description with line breaks) are not.
TEST(VehicleDataFile, FileThatIsNoLibraryIsRefusedAndLeftAsItWas) {
  TempFolder folder;
  std::string dxf;
  while (dxf.size() < 2500) dxf += "  0\nLINE\n  8\nKerb\n 10\n0.0\n 20\n30.0\n";
  const std::vector<std::uint8_t> small{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0};
  for (const auto& bytes : {std::vector<std::uint8_t>(dxf.begin(), dxf.end()), small}) {
    const auto file = folder / "not-a-library.vdt";
    WriteBytes(file, bytes);
    EXPECT_THROW(CheckVehicleLibrary(file), LibraryFileError);
    EXPECT_THROW(AddVehicleRecord(file, Named("A")), LibraryFileError);
    if (bytes.size() > 1634) {
      EXPECT_THROW(WriteVehicleRecord(file, Named("A"), 1), LibraryFileError);
      EXPECT_THROW(DeleteVehicleRecord(file, 1), LibraryFileError);
    }
    EXPECT_EQ(ReadBytes(file), bytes);
  }
  try {
    CheckVehicleLibrary(folder / "not-a-library.vdt");
  } catch (const LibraryFileError& error) {
    EXPECT_STREQ(error.what(),
                 "The file not-a-library.vdt is not a vehicle library: record 1 holds neither a "
                 "vehicle nor a free slot");
  }

  const auto file = folder / "odd.vdt";
  WriteBytes(file, std::vector<std::uint8_t>(1634, 0));
  VehicleRecord described = Named("B");
  described.Description = "two\r\nlines";
  AddVehicleRecord(file, described);
  auto bytes = ReadBytes(file);
  SetFreeFlag(bytes, 1, 1);
  WriteBytes(file, bytes);
  EXPECT_NO_THROW(CheckVehicleLibrary(file));
  EXPECT_EQ(AddVehicleRecord(file, Named("C")), 3);
}

TEST(VehicleDataFile, FullLibraryRefusesAnotherVehicle) {
  TempFolder folder;
  const auto file = folder / "full.vdt";
  // 32767 zero records: all in use, none free.
  WriteBytes(file, {});
  std::filesystem::resize_file(file, 1634ull * 32767);
  try {
    AddVehicleRecord(file, Named("One too many"));
    FAIL() << "no overflow";
  } catch (const LibraryFileError& e) {
    EXPECT_NE(std::string(e.what()).find("Overflow"), std::string::npos);
  }
  EXPECT_EQ(std::filesystem::file_size(file), 1634ull * 32767);
  EXPECT_EQ(RecordsAddable(file), 0);

  // A free slot still takes a vehicle.
  DeleteVehicleRecord(file, 32767);
  EXPECT_EQ(RecordsAddable(file), 1);
  EXPECT_EQ(AddVehicleRecord(file, Named("Last")), 32767);
}

TEST(VehicleDataFile, FileLongerThanTheLargestLibraryIsRefused) {
  TempFolder folder;
  const auto file = folder / "huge.vdt";
  WriteBytes(file, {});
  std::filesystem::resize_file(file, 1634ull * 32768);
  EXPECT_THROW(ListVehicleRecords(file), LibraryFileError);
  EXPECT_THROW(AddVehicleRecord(file, Named("X")), LibraryFileError);
  EXPECT_EQ(std::filesystem::file_size(file), 1634ull * 32768);
}

TEST(VehicleDataFile, MissingFolderIsReportedWithTheSystemReason) {
  TempFolder folder;
  const auto file = folder / "no-such-folder" / "lib.vdt";
  try {
    ListVehicleRecords(file);
    FAIL() << "no error";
  } catch (const LibraryFileError& e) {
    EXPECT_STREQ(e.what(), "No such file or directory");
  }
  EXPECT_THROW(AddVehicleRecord(file, Named("A")), LibraryFileError);
  EXPECT_FALSE(std::filesystem::exists(file.parent_path()));
}

TEST(VehicleDataFile, FolderInsteadOfAFileIsReported) {
  TempFolder folder;
  try {
    ListVehicleRecords(folder.path());
    FAIL() << "no error";
  } catch (const LibraryFileError& e) {
    EXPECT_STREQ(e.what(), "Is a directory");
  }
}

// Runs the body as an unprivileged user when the tests run as root, so that
// file permissions apply.
template <typename Body>
void AsUnprivilegedUser(Body body) {
  const bool root = geteuid() == 0;
  if (root) ASSERT_EQ(seteuid(65534), 0);
  body();
  if (root) ASSERT_EQ(seteuid(0), 0);
}

TEST(VehicleDataFile, ReadOnlyFileRefusesWritesAndStaysUnchanged) {
  TempFolder folder;
  chmod(folder.path().c_str(), 0755);
  const auto file = folder / "readonly.vdt";
  AddVehicleRecord(file, Named("A"));
  DeleteVehicleRecord(file, 1);
  AddVehicleRecord(file, Named("B"));
  const auto before = ReadBytes(file);
  chmod(file.c_str(), 0444);
  AsUnprivilegedUser([&] {
    EXPECT_EQ(ListVehicleRecords(file).size(), 1u);  // reading still works
    for (int operation = 0; operation < 3; ++operation) {
      SCOPED_TRACE(operation);
      try {
        if (operation == 0) AddVehicleRecord(file, Named("C"));
        if (operation == 1) WriteVehicleRecord(file, Named("C"), 1);
        if (operation == 2) DeleteVehicleRecord(file, 1);
        ADD_FAILURE() << "write succeeded";
      } catch (const LibraryFileError& e) {
        EXPECT_STREQ(e.what(), "Permission denied");
      }
    }
  });
  EXPECT_EQ(ReadBytes(file), before);
}

TEST(VehicleDataFile, FullDeviceReportsTheFailedWrite) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  try {
    AddVehicleRecord("/dev/full", Named("A"));
    FAIL() << "write to a full device reported success";
  } catch (const LibraryFileError& e) {
    EXPECT_STREQ(e.what(), "No space left on device");
  }
}

}  // namespace
}  // namespace veerline::library
