#include "export/ReportFile.h"

#include "services/PendingMessages.h"
#include "support/FileFaults.h"
#include "support/TestPaths.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

TEST(ReportFile, WritesAndReplacesAnExistingFile)
{
    TempDir dir;
    const std::string file = dir.file("Trustees.bat");
    ASSERT_TRUE(WriteFileBytes(file, "old content that is longer than the new one\r\n"));
    const ReportFileResult result = WriteReportFile(file, "RIGHTS X R /f\r\n");
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(ReadFileBytes(file), "RIGHTS X R /f\r\n");
    // An empty form gives a 0-byte file; nothing else is left in the folder.
    EXPECT_TRUE(WriteReportFile(file, "").ok);
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(ReportFile, AFolderInThePlaceOfTheFileFailsAndStaysAsItWas)
{
    TempDir dir;
    const std::string target = dir.file("Trustees.xml");
    std::filesystem::create_directory(target);
    ASSERT_TRUE(WriteFileBytes(target + "/inside.txt", "keep"));
    const ReportFileResult result = WriteReportFile(target, "<document/>\r\n");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error, "");
    EXPECT_TRUE(std::filesystem::is_directory(target));
    EXPECT_EQ(ReadFileBytes(target + "/inside.txt"), "keep");
    // No temporary file is left behind beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(ReportFile, AParentThatIsARegularFileFailsAndKeepsTheOldFile)
{
    TempDir dir;
    const std::string parent = dir.file("plain");
    ASSERT_TRUE(WriteFileBytes(parent, "old bytes"));
    const ReportFileResult result = WriteReportFile(parent + "/Trustees.txt", "new\r\n");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error, "");
    EXPECT_EQ(ReadFileBytes(parent), "old bytes");
    // A missing folder fails the same way.
    EXPECT_FALSE(WriteReportFile(dir.file("no/such/folder/x.txt"), "new\r\n").ok);
}

TEST(ReportFile, AFifoOrACharacterDeviceIsWrittenIntoAndOtherSpecialFilesAreRefused)
{
    TempDir dir;
    // A FIFO with a reader: the bytes go to the reader, the FIFO stays a FIFO.
    const std::string fifo = dir.file("report.pipe");
    FifoReader reader(fifo);
    ASSERT_TRUE(reader.made());
    ReportFileResult result = WriteReportFile(fifo, "RIGHTS X R /f\r\n");
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(reader.drain(), "RIGHTS X R /f\r\n");
    EXPECT_TRUE(IsFifo(fifo));
    // A link to it is followed, and so is a link to a regular file (which is replaced,
    // the link kept).
    const std::string link = dir.file("link.pipe");
    std::filesystem::create_symlink(fifo, link);
    EXPECT_TRUE(WriteReportFile(link, "again\r\n").ok);
    EXPECT_EQ(reader.drain(), "again\r\n");

    // A socket is refused and stays a socket.
    const std::string socketPath = dir.file("report.sock");
    const BoundSocket socket(socketPath);
    ASSERT_TRUE(socket.bound());
    result = WriteReportFile(socketPath, "x\r\n");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "not a regular file, a FIFO or a character device");
    EXPECT_TRUE(IsSocket(socketPath));

    // Character devices made here with the numbers of the null and the full device.
    const std::string null = dir.file("null");
    const std::string full = dir.file("full");
    if (!MakeCharDevice(null, 1, 3) || !MakeCharDevice(full, 1, 7))
        GTEST_SKIP() << "this machine does not allow device nodes";
    EXPECT_TRUE(WriteReportFile(null, "discarded\r\n").ok);
    EXPECT_TRUE(IsCharDevice(null));
    result = WriteReportFile(full, "nowhere\r\n");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "No space left on device");
    EXPECT_TRUE(IsCharDevice(full));
}

TEST(ReportFile, AFifoWhoseReaderGoesAwayFailsWithoutEndingTheProcess)
{
    TempDir dir;
    const std::string fifo = dir.file("report.pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A reader that is there when the writer opens and leaves before the write is
    // through (more than the pipe holds).
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::thread leave([reader] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ::close(reader);
    });
    const ReportFileResult result = WriteReportFile(fifo, std::string(1 << 20, 'x'));
    leave.join();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "Broken pipe");
    EXPECT_TRUE(IsFifo(fifo));
}

namespace {
// A report bigger than every full disk below: 256 KiB of batch lines.
std::string bigReport()
{
    std::string bytes;
    while (bytes.size() < 256 * 1024)
        bytes += "RIGHTS FS1\\VOL1:R&D\\PLANS RWCEAFM /Name=\".Admin.Corp\"\r\n";
    return bytes;
}
} // namespace

TEST(ReportFile, AFullDiskFailsAndKeepsTheOldFileWhole)
{
    TempDir dir;
    const std::string file = dir.file("Trustees.bat");
    ASSERT_TRUE(WriteFileBytes(file, "old report\r\n"));
    ReportFileResult result;
    {
        FileSizeLimit full(16 * 1024);
        result = WriteReportFile(file, bigReport());
    }
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "File too large");
    EXPECT_EQ(ReadFileBytes(file), "old report\r\n");
    EXPECT_EQ(FolderListing(dir.path()), "Trustees.bat") << "no temporary file is left";
    // Once there is room again the same write succeeds.
    EXPECT_TRUE(WriteReportFile(file, bigReport()).ok);
    EXPECT_EQ(ReadFileBytes(file), bigReport());
}

TEST(ReportFile, AFullFileSystemFailsAndKeepsTheOldFileWhole)
{
    SmallTmpfs disk(64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.why();
    const std::string file = disk.file("Trustees.xml");
    ASSERT_TRUE(WriteFileBytes(file, "<old/>\r\n"));
    const ReportFileResult tooBig = WriteReportFile(file, bigReport());
    EXPECT_FALSE(tooBig.ok);
    EXPECT_EQ(tooBig.error, "No space left on device");
    EXPECT_EQ(ReadFileBytes(file), "<old/>\r\n");
    EXPECT_EQ(FolderListing(disk.path()), "Trustees.xml");
    // Even a small report fails on a disk that is full to the last block.
    disk.fill();
    EXPECT_FALSE(WriteReportFile(file, "<document>\r\n</document>\r\n").ok);
    EXPECT_EQ(ReadFileBytes(file), "<old/>\r\n");
}

TEST(ReportFile, AReadOnlyFolderFailsAndKeepsTheOldFile)
{
    TempDir dir;
    const std::string file = dir.file("Trustees.txt");
    ASSERT_TRUE(WriteFileBytes(file, "old"));
    ReadOnlyFolder readOnly(dir.path());
    if (!readOnly.readOnly())
        GTEST_SKIP() << "this file system lets root create files in any folder";
    const ReportFileResult result = WriteReportFile(file, "new\r\n");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error, "");
    EXPECT_EQ(ReadFileBytes(file), "old");
    EXPECT_EQ(FolderListing(dir.path()), "Trustees.txt");
}

TEST(ReportFile, MessageTexts)
{
    EXPECT_EQ(CannotCreateFileText("/tmp/Trustees 50%.txt"), "Cannot create file /tmp/Trustees 50%.txt");
    EXPECT_EQ(
        ReportWriteErrorText("out.xml", "Is a directory"), "grantwise-report: cannot write out.xml: Is a directory");
    EXPECT_EQ(ReportWriteErrorText("out.xml", ""), "grantwise-report: cannot write out.xml");
}

TEST(ReportFile, AnOutputMadeInPiecesIsWrittenWholeOrNotAtAll)
{
    TempDir dir;
    const std::string file = dir.file("Trustees.txt");
    ASSERT_TRUE(WriteFileBytes(file, "old"));
    const auto counted = [](int count, bool failLast) {
        return [count, failLast, made = 0](std::string& piece) mutable {
            if (made == count)
                return false;
            if (++made == count && failLast)
                throw std::bad_alloc();
            piece.assign(size_t(3) << 20, static_cast<char>('a' + made));
            return true;
        };
    };
    // A piece that cannot be made: the old file stays and nothing is left beside it.
    EXPECT_THROW(WriteReportFilePieces(file, counted(4, true)), std::bad_alloc);
    EXPECT_EQ(ReadFileBytes(file), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    ASSERT_TRUE(WriteReportFilePieces(file, counted(4, false)).ok);
    const std::string written = ReadFileBytes(file);
    ASSERT_EQ(written.size(), size_t(12) << 20);
    EXPECT_EQ(written.front(), 'b');
    EXPECT_EQ(written.back(), 'e');
    // No piece at all: an empty file.
    EXPECT_TRUE(WriteReportFilePieces(file, counted(0, false)).ok);
    EXPECT_EQ(ReadFileBytes(file), "");

    // Into a FIFO: the pieces written so far reach the reader; the failure passes on.
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string read;
    std::thread reader([&] { read = ReadFileBytes(fifo); });
    EXPECT_THROW(WriteReportFilePieces(fifo, counted(2, true)), std::bad_alloc);
    reader.join();
    EXPECT_EQ(read, std::string(size_t(3) << 20, 'b'));
}

TEST(ReportFile, TheResponsiveWriteWritesOrFailsAsThePlainOne)
{
    TempDir dir;
    int calls = 0;
    TestServices services;
    services.pendingMessages = [&calls] { ++calls; };
    const std::string file = dir.file("Trustees.txt");
    const std::string bytes(3 << 20, 'x');
    const ReportFileResult result = WriteReportFileResponsive(file, bytes);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(ReadFileBytes(file), bytes);
    // Bytes in parts (empty ones among them) make one file, plain or responsive; into a
    // FIFO they go one after another too.
    const std::vector<std::string> parts { "", "RIGHTS A R /f\r\n", "", std::string(9 << 20, 'z'), "end\r\n" };
    std::string joined;
    for (const std::string& part : parts)
        joined += part;
    EXPECT_TRUE(WriteReportFile(file, parts).ok);
    EXPECT_EQ(ReadFileBytes(file), joined);
    EXPECT_TRUE(WriteReportFileResponsive(file, std::vector<std::string> { "a", "", "b" }).ok);
    EXPECT_EQ(ReadFileBytes(file), "ab");
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::future<std::string> read = std::async(std::launch::async, [&fifo] { return ReadFileBytes(fifo); });
    EXPECT_TRUE(WriteReportFile(fifo, parts).ok);
    EXPECT_EQ(read.get(), joined);
    ::unlink(fifo.c_str());

    const std::string parent = dir.file("plain");
    ASSERT_TRUE(WriteFileBytes(parent, "old bytes"));
    const ReportFileResult failed = WriteReportFileResponsive(parent + "/Trustees.txt", "new\r\n");
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(failed.error, "");
    EXPECT_EQ(ReadFileBytes(parent), "old bytes");

    // A cancel while the write is under way abandons it at its next piece and passes on:
    // the old file stays (unless the write had committed already, then the file is whole);
    // a write done before the first look at pending messages simply returns.
    services.pendingMessages = [] { throw OperationCancelled(); };
    const std::string other = dir.file("Other.txt");
    ASSERT_TRUE(WriteFileBytes(other, "old"));
    const std::string large(64 << 20, 'y');
    bool cancelled = false;
    try {
        EXPECT_TRUE(WriteReportFileResponsive(other, large).ok);
    } catch (const OperationCancelled&) {
        cancelled = true;
    }
    const std::string after = ReadFileBytes(other);
    if (cancelled)
        EXPECT_TRUE(after == "old" || after == large) << after.size();
    else
        EXPECT_EQ(after, large);
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}
