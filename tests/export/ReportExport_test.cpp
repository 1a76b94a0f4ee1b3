#include "export/AuditForms.h"
#include "export/CsvText.h"
#include "export/OemCodePage.h"
#include "export/ReportExport.h"

#include "scan/ReportList.h"
#include "scan/TrusteeList.h"
#include "services/PendingMessages.h"
#include "support/ExportReadBack.h"
#include "support/TestPaths.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

namespace {

// The results of the worked example: one start path, an IRM, two trustees, an owner.
ReportList workedExample()
{
    return MakeList({
        { 10, "\\\\FS1\\VOL1\\R&D" },
        { 11, "TRUE" },
        { 14, "*.*" },
        { 13, "Trustees and Owner" },
        { 12, "Directories" },
        { 0 },
        { 15, "FS1\\VOL1:R&D\\PLANS" },
        { 18, "", "RF" },
        { 15, "FS1\\VOL1:R&D\\PLANS" },
        { 16, ".Admin.Corp", "RWCEAFM" },
        { 16, "[Public]", "RF" },
        { 15, "FS1\\VOL1:R&D\\PLANS" },
        { 17, ".Admin.Corp" },
        { 0 },
        { 0 },
    });
}

// A settings block for one start path, as the scan writes it.
void addSettings(ReportList& list, const std::string& base)
{
    list.appendSetting(lkBase, base);
    list.appendSetting(lkSubdirs, "TRUE");
    list.appendSetting(lkFilter, "*.*");
    list.appendSetting(lkInfo, "Trustees");
    list.appendSetting(lkScope, "Directories");
    list.appendSeparator();
}

} // namespace

TEST(SaveForms, WorkedExampleAllThreeFormsMatchTheGoldenFiles)
{
    const ReportList results = workedExample();
    EXPECT_EQ(BuildBatchForm(results), ReadFileBytes(TestDataPath("export-worked-example.bat")));
    EXPECT_EQ(BuildXmlForm(results), ReadFileBytes(TestDataPath("export-worked-example.xml")));
    EXPECT_EQ(BuildTextForm(results), ReadFileBytes(TestDataPath("export-worked-example.txt")));
    EXPECT_EQ(SplitCrLf(BuildTextForm(results)).size(), 15u);
    EXPECT_EQ(SplitCrLf(BuildXmlForm(results)).size(), 13u);
}

TEST(SaveForms, TextFormFollowsTheShownListBatchAndXmlTheResults)
{
    const ReportList results = workedExample();
    ReportList byTrustee;
    BuildTrusteeList(results, byTrustee);
    const std::string expectedText = "Trustee: .Admin.Corp \r\n"
                                     "     FS1\\VOL1:R&D\\PLANS [RWCEAFM]\r\n"
                                     "Trustee: [Public] \r\n"
                                     "     FS1\\VOL1:R&D\\PLANS [RF]\r\n";
    EXPECT_EQ(BuildSaveForm(SaveForm::Text, byTrustee, results), expectedText);
    EXPECT_EQ(BuildSaveForm(SaveForm::Batch, byTrustee, results), BuildBatchForm(results));
    EXPECT_EQ(BuildSaveForm(SaveForm::Xml, byTrustee, results), BuildXmlForm(results));
    EXPECT_EQ(BuildSaveForm(SaveForm::Text, results, results), BuildTextForm(results));
    // Made a piece at a time (pieces of whole lines), the text form is the same bytes.
    for (const size_t pieceBytes : { size_t(1), size_t(40), size_t(1) << 20 }) {
        const ReportPieces pieces = TextFormPieces(results, pieceBytes);
        std::string joined, piece;
        while (pieces(piece)) {
            EXPECT_TRUE(piece.ends_with("\r\n"));
            joined += piece;
        }
        EXPECT_EQ(joined, BuildTextForm(results)) << pieceBytes;
    }
    EXPECT_EQ(SaveFormExtension(SaveForm::Text), "txt");
    EXPECT_EQ(SaveFormExtension(SaveForm::Batch), "bat");
    EXPECT_EQ(SaveFormExtension(SaveForm::Xml), "xml");
}

TEST(SaveForms, EmptyResults)
{
    const ReportList empty;
    EXPECT_EQ(BuildTextForm(empty), "");
    EXPECT_EQ(BuildBatchForm(empty), "");
    EXPECT_EQ(BuildXmlForm(empty),
        "<?xml version=\"1.0\" encoding=\"windows-1252\" standalone=\"yes\"?><document>\r\n</document>\r\n");
    // Only settings and separators: no batch line at all.
    ReportList settingsOnly;
    addSettings(settingsOnly, "\\\\FS1\\VOL1\\X");
    EXPECT_EQ(BuildBatchForm(settingsOnly), "");
    // Separator lines of the text form stay empty lines.
    EXPECT_EQ(BuildTextForm(MakeList({ { 0 }, { 0 } })), "\r\n\r\n");
}

TEST(SaveForms, TwoStartPathsAndAnEmptyBaseMakeTheBlocks)
{
    ReportList results;
    addSettings(results, "\\\\FS1\\VOL1\\A");
    for (const TestLine& line :
        std::initializer_list<TestLine> { { 15, "FS1\\VOL1:A" }, { 17, ".Admin.Corp" }, { 0 }, { 0 } })
        AppendTestLine(results, line);
    addSettings(results, "\\\\FS1\\VOL1\\B");
    for (const TestLine& line : std::initializer_list<TestLine> {
             { 15, "FS1\\VOL1:B" }, { 17, ".Staff.Corp" }, { 10, "" }, { 15, "FS1\\VOL1:C" }, { 17, "" } })
        AppendTestLine(results, line);
    const std::vector<std::string> lines = SplitCrLf(BuildXmlForm(results));
    const std::vector<std::string> expected = {
        "<?xml version=\"1.0\" encoding=\"windows-1252\" standalone=\"yes\"?><document>",
        "<grantwise>",
        "<settings><base>\\\\FS1\\VOL1\\A</base></settings>",
        "<settings><subdir>TRUE</subdir></settings>",
        "<settings><filter>*.*</filter></settings>",
        "<settings><info>Trustees</info></settings>",
        "<settings><scope>Directories</scope></settings>",
        "<owner><path>FS1\\VOL1:A</path><name>.Admin.Corp</name></owner>",
        "</grantwise>",
        "<grantwise>",
        "<settings><base>\\\\FS1\\VOL1\\B</base></settings>",
        "<settings><subdir>TRUE</subdir></settings>",
        "<settings><filter>*.*</filter></settings>",
        "<settings><info>Trustees</info></settings>",
        "<settings><scope>Directories</scope></settings>",
        "<owner><path>FS1\\VOL1:B</path><name>.Staff.Corp</name></owner>",
        "</grantwise>",
        "<settings><base></base></settings>",
        "<owner><path>FS1\\VOL1:C</path><name>(n/a)</name></owner>",
        "</document>",
    };
    EXPECT_EQ(lines, expected);
    std::string error;
    const auto leaves = ParseXml(BuildXmlForm(results), error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(leaves.size(), 17u); // two blocks of 5 settings + owner path and name; base; owner
}

TEST(SaveForms, RightsFieldEdgeCases)
{
    const ReportList results = MakeList({
        { 15, "FS1\\VOL1:R&D\\PLANS" },
        { 16, ".Admin.Corp", "" },
        { 18, "", "" },
        { 16, "ID: [0001A2B3]", "RF" },
        { 16, "NoRights", "S" },
        { 18, "", "RW" },
    });
    const std::vector<std::string> bat = SplitCrLf(BuildBatchForm(results));
    // Empty trustee rights are written as NetWare's "N" (no rights): without a rights
    // argument RIGHTS would show the rights instead of setting them. A trustee whose name
    // could not be found cannot be named to RIGHTS at all.
    const std::vector<std::string> expectedBat = {
        "RIGHTS \"FS1\\VOL1:R&D\\PLANS\" N /Name=\".Admin.Corp\"",
        "RIGHTS \"FS1\\VOL1:R&D\\PLANS\" -ALL /f",
        "REM Not run, unknown trustee: RIGHTS FS1\\VOL1:R&D\\PLANS RF /Name=\"ID: [0001A2B3]\"",
        "RIGHTS \"FS1\\VOL1:R&D\\PLANS\" S /Name=\"NoRights\"",
        "RIGHTS \"FS1\\VOL1:R&D\\PLANS\" RW /f",
    };
    EXPECT_EQ(bat, expectedBat);
    const std::vector<std::string> xml = SplitCrLf(BuildXmlForm(results));
    ASSERT_EQ(xml.size(), 7u);
    EXPECT_EQ(
        xml[1], "<trustee><path>FS1\\VOL1:R&amp;D\\PLANS</path><rights></rights><name>.Admin.Corp</name></trustee>");
    EXPECT_EQ(xml[2], "<irm><path>FS1\\VOL1:R&amp;D\\PLANS</path><rights>-ALL</rights></irm>");
    EXPECT_EQ(xml[3],
        "<trustee><path>FS1\\VOL1:R&amp;D\\PLANS</path><rights>RF</rights><name>ID: [0001A2B3]</name></trustee>");
    // A name that holds " [" stays whole; blanks at the end of a name are part of it
    // (trimming them names another object); a bit without a letter adds none.
    const ReportList named = MakeList({ { 15, "V:D" }, { 16, "x [y", "RF" }, { 16, "Name  ", "RF" } });
    EXPECT_EQ(named.text(1), "     Trustee: x [y [RF]");
    ReportList bits;
    bits.appendPathLine("V:D");
    bits.appendTrustee(bits.names().intern("Name  "), 0x41 | 0x04 | 0x200);
    EXPECT_EQ(SplitCrLf(BuildBatchForm(named)),
        (std::vector<std::string> { "RIGHTS V:D RF /Name=\"x [y\"", "RIGHTS V:D RF /Name=\"Name  \"" }));
    EXPECT_EQ(SplitCrLf(BuildBatchForm(bits)), std::vector<std::string> { "RIGHTS V:D RF /Name=\"Name  \"" });
    EXPECT_EQ(
        SplitCrLf(BuildXmlForm(named))[1], "<trustee><path>V:D</path><rights>RF</rights><name>x [y</name></trustee>");
}

TEST(SaveForms, DetailLinesBeforeAnyPathLine)
{
    const ReportList results = MakeList({
        { 18, "", "R" },
        { 16, ".Admin.Corp", "RF" },
        { 17, ".Admin.Corp" },
    });
    const std::vector<std::string> bat
        = { "RIGHTS \"\" R /f", "RIGHTS \"\" RF /Name=\".Admin.Corp\"", "REM Owner [] .Admin.Corp" };
    EXPECT_EQ(SplitCrLf(BuildBatchForm(results)), bat);
    const std::vector<std::string> xml = SplitCrLf(BuildXmlForm(results));
    ASSERT_EQ(xml.size(), 5u);
    EXPECT_EQ(xml[1], "<irm><path></path><rights>R</rights></irm>");
}

TEST(SaveForms, BatchPathsAreQuotedOnlyWhenTheyNeedIt)
{
    const ReportList results = MakeList({
        { 15, "FS1\\VOL1:PLAIN\\DIR" },
        { 18, "", "R" },
        { 17, ".Admin.Corp" },
        { 15, "FS1\\VOL1:TWO WORDS" },
        { 18, "", "R" },
        { 15, "FS1\\VOL1:A=B,C;D(E)" },
        { 18, "", "R" },
        { 15, "FS1\\VOL1:UP^AND|DOWN<>" },
        { 18, "", "R" },
        { 15, "FS1\\VOL1:100%\\DIR WITH BLANK\\" },
        { 16, "50%", "RF" },
        { 17, "50%" },
    });
    const std::vector<std::string> expected = {
        "RIGHTS FS1\\VOL1:PLAIN\\DIR R /f",
        "REM Owner [FS1\\VOL1:PLAIN\\DIR] .Admin.Corp",
        "RIGHTS \"FS1\\VOL1:TWO WORDS\" R /f",
        "RIGHTS \"FS1\\VOL1:A=B,C;D(E)\" R /f",
        "RIGHTS \"FS1\\VOL1:UP^AND|DOWN<>\" R /f",
        "RIGHTS \"FS1\\VOL1:100%%\\DIR WITH BLANK\\\\\" RF /Name=\"50%%\"",
        "REM Owner [FS1\\VOL1:100%%\\DIR WITH BLANK\\] 50%%",
    };
    EXPECT_EQ(SplitCrLf(BuildBatchForm(results)), expected);
}

// Names and paths that a careless export would corrupt or turn into commands.
TEST(SaveForms, HostileAndNonAsciiNamesSurviveEveryForm)
{
    const std::vector<std::string> names = { "O'Neil", "50%", "&", "M\xC3\xBCller", "\xC5\x81ukasz", "Say \"Hi\"",
        "Bell\x07Name", "Two\r\nLines", "R&D <Sales>", "a^b|c", "%PATH%", "~!x", "Euro \xE2\x82\xAC", "Trail\\" };
    const std::vector<std::string> paths = { "FS1\\VOL1:R&D", "FS1\\VOL1:M\xC3\xBCller & Co", "FS1\\VOL1:100%",
        "FS1\\VOL1:%TEMP%", "FS1\\VOL1:Q\"UOTE", "FS1\\VOL1:LINE\nBREAK",
        "FS1\\VOL1:\xC5\x81\xC3\xB3"
        "d\xC5\xBA" };
    ReportList results;
    addSettings(results, "\\\\FS1\\VOL1\\M\xC3\xBCller & <Co>");
    std::string text = "Base: \\\\FS1\\VOL1\\M\xC3\xBCller & <Co>\r\n     Subdirs: TRUE\r\n     Filter: *.*\r\n"
                       "     Info: Trustees\r\n     Scope: Directories\r\n\r\n";
    for (const auto& path : paths) {
        AppendTestLine(results, { 15, path });
        AppendTestLine(results, { 18, "", "RA" });
        text += path + "\r\n     IRM: [R   A   ]\r\n";
        for (const auto& name : names) {
            AppendTestLine(results, { 16, name, "RF" });
            text += "     Trustee: " + name + " [RF]\r\n";
        }
        AppendTestLine(results, { 17, names[paths.size() % names.size()] });
        text += "     Owner: " + names[paths.size() % names.size()] + "\r\n";
    }

    // Text form: byte for byte.
    EXPECT_EQ(BuildTextForm(results), text);
    EXPECT_EQ(results.textBytes() + 2 * results.count(), text.size());

    // XML form: well-formed, and the parser gives back every name and path.
    const std::string xml = BuildXmlForm(results);
    for (unsigned char c : xml)
        EXPECT_TRUE(c >= 0x20 || c == '\r' || c == '\n') << int(c);
    std::string error;
    const std::vector<XmlLeaf> leaves = ParseXml(xml, error);
    ASSERT_EQ(error, "");
    TempDir dir;
    EXPECT_EQ(XmllintStatus(xml, dir.file("hostile.xml")), 0);
    EXPECT_EQ(SplitCrLf(xml).size(), 2 + 5 + paths.size() * (2 + names.size()) + 2);
    const auto expectXmlText = [](const std::string& s) {
        std::string t;
        for (char c : s)
            t += (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r' && c != '\n') ? '?' : c;
        return t;
    };
    size_t k = 0;
    ASSERT_GE(leaves.size(), 5u);
    EXPECT_EQ(leaves[0].text, "\\\\FS1\\VOL1\\M\xC3\xBCller & <Co>");
    k = 5;
    for (const auto& path : paths) {
        ASSERT_LT(k + 1, leaves.size());
        EXPECT_EQ(leaves[k].name, "path");
        EXPECT_EQ(leaves[k].parents, "document/grantwise/irm/");
        EXPECT_EQ(leaves[k].text, path);
        EXPECT_EQ(leaves[k + 1].text, "RA");
        k += 2;
        for (const auto& name : names) {
            ASSERT_LT(k + 2, leaves.size());
            EXPECT_EQ(leaves[k].text, path);
            EXPECT_EQ(leaves[k + 1].text, "RF");
            EXPECT_EQ(leaves[k + 2].name, "name");
            EXPECT_EQ(leaves[k + 2].text, expectXmlText(name));
            k += 3;
        }
        k += 2; // the owner's path and name
    }
    EXPECT_EQ(k, leaves.size());

    // Batch form: in code page 850, since it holds characters beyond ASCII; read in that
    // code page, every line is one command that reads as written, or a remark that says
    // why it is not run.
    const std::string batForm = BuildBatchForm(results);
    EXPECT_EQ(batForm.rfind("CHCP 850 >NUL\r\n", 0), 0u);
    const std::vector<std::string> bat = SplitCrLf(BatchFormAsUtf8(batForm));
    ASSERT_EQ(bat.size(), paths.size() * (2 + names.size()));
    size_t line = 0;
    for (const auto& path : paths) {
        const bool pathWritable = path.find_first_of("\"\n") == std::string::npos;
        const auto check = [&](const std::vector<std::string>& words, bool writable, bool inCodePage) {
            const CmdLine cmd = ReadBatchLine(bat[line]);
            EXPECT_EQ(cmd.error, "") << bat[line];
            if (writable && inCodePage) {
                EXPECT_FALSE(cmd.remark) << bat[line];
                EXPECT_EQ(cmd.words, words) << bat[line];
            } else {
                EXPECT_TRUE(cmd.remark) << bat[line];
                EXPECT_EQ(cmd.remarkText.rfind(writable ? "Not run, characters outside code page 850: RIGHTS "
                                                        : "Not run, unsafe characters: RIGHTS ",
                              0),
                    0u)
                    << bat[line];
            }
            ++line;
        };
        check({ "RIGHTS", path, "RA", "/f" }, pathWritable, InCodePage850(path));
        for (const auto& name : names) {
            const bool nameWritable = name.find_first_of("\"\x07\r\n") == std::string::npos;
            check({ "RIGHTS", path, "RF", "/Name=" + name }, pathWritable && nameWritable,
                InCodePage850(path) && InCodePage850(name));
        }
        const CmdLine owner = ReadBatchLine(bat[line++]);
        EXPECT_EQ(owner.error, "");
        EXPECT_TRUE(owner.remark);
    }
}

TEST(SaveForms, UnwritableBatchLinesBecomeOneLineRemarks)
{
    const ReportList results = MakeList({
        { 15, "FS1\\VOL1:DIR" },
        { 16, "Say \"Hi\" & calc", "RF" },
        { 16, "a\nRIGHTS X RWCEAFMS /Name=\"Evil\"", "RF" },
        { 17, "x\r\ndel *" },
        { 15, "FS1\\VOL1:\"EVIL\" & calc" },
        { 18, "", "R" },
    });
    const std::vector<std::string> expected = {
        "REM Not run, unsafe characters: RIGHTS FS1\\VOL1:DIR RF /Name=\"Say \"Hi\" & calc\"",
        "REM Not run, unsafe characters: RIGHTS FS1\\VOL1:DIR RF /Name=\"a?RIGHTS X RWCEAFMS /Name=\"Evil\"\"",
        "REM Owner [FS1\\VOL1:DIR] x??del *",
        "REM Not run, unsafe characters: RIGHTS FS1\\VOL1:\"EVIL\" & calc R /f",
    };
    EXPECT_EQ(SplitCrLf(BuildBatchForm(results)), expected);
}

TEST(SaveForms, BatchLinesCmdExeCannotRunAsWrittenAreCountedRemarks)
{
    // cmd.exe reads at most 8,191 characters of a line: a RIGHTS line of exactly that
    // length is a command, one character more makes it a remark, cut to the limit.
    const std::string dir8171 = "V:" + std::string(8169, 'D');
    const std::string dir8172 = dir8171 + "D";
    BatchNotes notes;
    std::vector<std::string> bat
        = SplitCrLf(BuildBatchForm(MakeList({ { 15, dir8171 }, { 16, "X", "RF" }, { 15, dir8172 }, { 16, "X", "RF" },
                                       { 15, "V:" + std::string(9000, '%') }, { 18, "", "R" }, { 17, "X" },
                                       { 15, "V:D" }, { 16, "ID: [0002B7E1]", "R" } }),
            &notes));
    ASSERT_EQ(bat.size(), 5u);
    EXPECT_EQ(bat[0], "RIGHTS " + dir8171 + " RF /Name=\"X\"");
    EXPECT_EQ(bat[0].size(), 8191u);
    EXPECT_EQ(bat[1].rfind("REM Not run, line too long for cmd.exe: RIGHTS " + dir8172.substr(0, 100), 0), 0u);
    EXPECT_EQ(bat[3].rfind("REM Owner [V:%%%%", 0), 0u);
    for (const size_t i : { 1, 2, 3 }) {
        EXPECT_EQ(bat[i].size() - bat[i].size() % 2, 8190u) << i; // 8191, or 8190 not to halve a "%%"
        EXPECT_EQ(bat[i].substr(bat[i].size() - 3), "...") << i;
        EXPECT_EQ(ReadBatchLine(bat[i]).error, "") << i;
    }
    EXPECT_EQ(bat[4], "REM Not run, unknown trustee: RIGHTS V:D R /Name=\"ID: [0002B7E1]\"");
    EXPECT_EQ(notes.notRun, (std::array<size_t, 4> { 0, 1, 0, 2 }));
    EXPECT_FALSE(notes.codePage);
    EXPECT_EQ(BatchNotesText(notes),
        "3 RIGHTS lines are remarks that are not run ('REM Not run, ...'): 1 unknown trustee, 2 line too long for "
        "cmd.exe");

    // A file with characters beyond ASCII is in code page 850 and says so first; a name
    // the code page cannot hold makes its line a remark, which shows the character as
    // NetWare's utilities do.
    const std::string form = BuildBatchForm(MakeList({ { 15, "V:D" }, { 16, ".M\xC3\xBCller", "RF" },
                                                { 16, ".\xC5\x81ukasz", "R" }, { 17, ".\xC5\x81ukasz" } }),
        &notes);
    EXPECT_EQ(form,
        "CHCP 850 >NUL\r\nRIGHTS V:D RF /Name=\".M\x81ller\"\r\n"
        "REM Not run, characters outside code page 850: RIGHTS V:D R /Name=\".[0141]ukasz\"\r\n"
        "REM Owner [V:D] .[0141]ukasz\r\n");
    EXPECT_TRUE(notes.codePage);
    EXPECT_EQ(BatchNotesText(notes),
        "1 RIGHTS line is a remark that is not run ('REM Not run, ...'): 1 characters outside code page 850");
    // A remark alone needs no code page: its characters are shown in ASCII.
    EXPECT_EQ(BuildBatchForm(MakeList({ { 15, "V:D" }, { 17, "\xE2\x82\xAC" } })), "REM Owner [V:D] [20AC]\r\n");
    // Bytes of the code page, as its published table gives them.
    EXPECT_EQ(OemByte(U'\u00FC'), 0x81);
    EXPECT_EQ(OemByte(U'\u00E9'), 0x82);
    EXPECT_EQ(OemByte(U'\u00C4'), 0x8E);
    EXPECT_EQ(OemByte(U'\u00D8'), 0x9D);
    EXPECT_EQ(OemByte(U'\u00DF'), 0xE1);
    EXPECT_EQ(OemByte(U'\u20AC'), -1);
    EXPECT_EQ(OemByte(U'\u0141'), -1);
}

TEST(SaveForms, LongNamesInPathLinesReachAllForms)
{
    ReportList results = workedExample();
    for (size_t i = 0; i < results.count(); ++i) {
        if (results.code(i) == 15) {
            results.paths().setLongForm(results.line(i).node, "\\\\FS1\\VOL1\\Research and Development\\Plans 2024");
            results.showLongForm(i);
        }
    }
    const std::string bat = BuildBatchForm(results);
    EXPECT_NE(bat.find("RIGHTS \"\\\\FS1\\VOL1\\Research and Development\\Plans 2024\" RF /f\r\n"), std::string::npos);
    const std::string xml = BuildXmlForm(results);
    EXPECT_NE(xml.find("<path>\\\\FS1\\VOL1\\Research and Development\\Plans 2024</path>"), std::string::npos);
    EXPECT_EQ(xml.find("PLANS"), std::string::npos);
}

TEST(SaveForms, SpecialCharactersAnywhereInLongValuesAreFound)
{
    // Values longer than the 16- and 8-byte steps the byte checks take, with the one
    // special character at every position: each form must treat it as in a short value.
    const std::string padding = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnop"; // 42 bytes
    for (char special : std::string("%\" &\t<'")) {
        for (size_t at = 0; at <= padding.size(); at += 5) {
            std::string name = padding;
            name.insert(at, 1, special);
            const ReportList results = MakeList(
                { { 15, "FS1\\VOL1:" + padding }, { 16, name, "RF" }, { 15, "FS1\\VOL1:" + name }, { 17, name } });
            const std::vector<std::string> batch = SplitCrLf(BuildBatchForm(results));
            ASSERT_EQ(batch.size(), 2u);
            const std::string shown
                = special == '%' ? std::string("%%") : std::string(1, special == '\t' ? '?' : special);
            std::string remarked = padding;
            remarked.replace(at, 0, shown);
            EXPECT_EQ(batch[1], "REM Owner [FS1\\VOL1:" + remarked + "] " + remarked) << int(special) << " at " << at;
            if (special == '"' || special == '\t')
                EXPECT_EQ(batch[0].rfind("REM Not run, unsafe characters: ", 0), 0u) << batch[0];
            else
                EXPECT_EQ(batch[0], "RIGHTS FS1\\VOL1:" + padding + " RF /Name=\"" + remarked + "\"") << batch[0];

            const std::vector<std::string> lines = SplitCrLf(BuildXmlForm(results));
            ASSERT_EQ(lines.size(), 4u);
            const std::string entity = special == '&' ? "&amp;"
                : special == '<'                      ? "&lt;"
                : special == '\''                     ? "&apos;"
                : special == '"'                      ? "&quot;"
                                                      : std::string(1, special);
            std::string escaped = padding;
            escaped.replace(at, 0, entity);
            EXPECT_EQ(lines[2], "<owner><path>FS1\\VOL1:" + escaped + "</path><name>" + escaped + "</name></owner>");
        }
    }
}

TEST(SaveForms, BuildingLetsPendingMessagesThroughAndStopsWhenCancelled)
{
    ReportList results;
    for (int i = 0; i < 10000; ++i) {
        results.appendPathLine("FS1\\VOL1:DIR" + std::to_string(i));
        results.appendOwner(results.names().intern(".Admin.Corp"));
    }
    int calls = 0;
    TestServices services;
    services.pendingMessages = [&calls] { ++calls; };
    const std::string text = BuildTextForm(results);
    EXPECT_EQ(calls, 4); // every 4096 of 20000 lines
    calls = 0;
    BuildBatchForm(results);
    EXPECT_EQ(calls, 4);
    calls = 0;
    BuildXmlForm(results);
    EXPECT_EQ(calls, 4);
    EXPECT_EQ(SplitCrLf(text).size(), 20000u);

    services.pendingMessages = [] { throw OperationCancelled(); };
    EXPECT_THROW(BuildXmlForm(results), OperationCancelled);
    EXPECT_THROW(BuildSaveForm(SaveForm::Text, results, results), OperationCancelled);
    // Made in parts, a cancel on the calling thread stops the others too and is passed on.
    for (size_t parts : { 2, 4 }) {
        EXPECT_THROW(BuildTextForm(results, parts), OperationCancelled);
        EXPECT_THROW(BuildBatchForm(results, nullptr, parts), OperationCancelled);
        EXPECT_THROW(BuildCsvForm(results, parts), OperationCancelled);
    }
}

// Made in parts on several threads, every form has the bytes (and the batch form the
// notes) of the form made in one pass: blocks of settings that begin and end inside a
// part or across parts, detail lines before any path line, a path line repeated for each
// detail group, non-ASCII names (the batch form's code-page line) and remarks.
TEST(SaveForms, FormsMadeInPartsAreTheFormsMadeInOnePass)
{
    ReportList results;
    AppendTestLine(results, { 16, ".Early.Corp", "R" });
    for (int block = 0; block < 6; ++block) {
        addSettings(results, block == 3 ? std::string() : "\\\\FS1\\VOL1\\D" + std::to_string(block));
        for (int entry = 0; entry < 40 + 25 * block; ++entry) {
            const std::string path = "FS1\\VOL1:D" + std::to_string(block) + "\\E" + std::to_string(entry);
            AppendTestLine(results, { 15, path });
            AppendTestLine(results, { 16, entry % 7 == 0 ? "ID: [0002B7E1]" : ".Admin.Corp", "RWF" });
            if (entry % 5 == 0) {
                AppendTestLine(results, { 15, path });
                AppendTestLine(results, { 17, block == 4 && entry == 10 ? ".Müller.Corp" : ".Staff.Corp" });
            }
            if (entry % 3 == 0)
                AppendTestLine(results, { 18, "", "RF" });
        }
        AppendTestLine(results, { 0 });
    }
    std::vector<size_t> shown;
    for (size_t i = 0; i < results.count(); i += 3)
        shown.push_back(i);
    BatchNotes whole;
    const std::string batch = BuildBatchForm(results, &whole, 1);
    ASSERT_TRUE(whole.codePage);
    ASSERT_GT(whole.notRun[static_cast<size_t>(BatchNotRun::UnknownTrustee)], 0u);
    for (size_t parts : { 2, 3, 7, 64 }) {
        SCOPED_TRACE(parts);
        EXPECT_EQ(BuildTextForm(results, parts), BuildTextForm(results, 1));
        EXPECT_EQ(BuildTextForm(results, shown, parts), BuildTextForm(results, shown, 1));
        BatchNotes notes;
        EXPECT_EQ(BuildBatchForm(results, &notes, parts), batch);
        EXPECT_EQ(notes.notRun, whole.notRun);
        EXPECT_EQ(notes.codePage, whole.codePage);
        EXPECT_EQ(BuildXmlForm(results, parts), BuildXmlForm(results, 1));
        EXPECT_EQ(BuildCsvForm(results, parts), BuildCsvForm(results, 1));
        EXPECT_EQ(BuildHtmlForm(results, { "2002-03-15T09:30:00+01:00", 120 }, parts),
            BuildHtmlForm(results, { "2002-03-15T09:30:00+01:00", 120 }, 1));
    }
    // More parts than lines: as many parts as there are path lines to begin them.
    const ReportList small = workedExample();
    EXPECT_EQ(BuildXmlForm(small, 40), BuildXmlForm(small, 1));
    EXPECT_EQ(BuildBatchForm(small, nullptr, 40), BuildBatchForm(small, nullptr, 1));
    const ReportList none;
    EXPECT_EQ(BuildXmlForm(none, 3), BuildXmlForm(none, 1));
    EXPECT_EQ(BuildCsvForm(none, 3), BuildCsvForm(none, 1));
    EXPECT_EQ(BuildHtmlForm(none, {}, 3), BuildHtmlForm(none, {}, 1));
}

// Every CSV form: a byte-order mark, the header as given, CR LF, quotes only where RFC
// 4180 asks for them or where a spreadsheet would read a formula.
TEST(CsvText, QuotesWhereNeededAndGuardsFormulas)
{
    CsvText csv({ "path", "user", "rights" });
    csv.row({ "plain", "O'Neil", "" });
    csv.row({ "a,b", "say \"hi\"", "line\nbreak" });
    csv.row({ "=SUM(A1)", "+1", "-ALL" });
    csv.row({ "@cmd", "\tTab", "\rCR" });
    csv.row({ "x=1", "a-b", " lead" });
    EXPECT_EQ(csv.bytes(),
        "\xEF\xBB\xBFpath,user,rights\r\n"
        "plain,O'Neil,\r\n"
        "\"a,b\",\"say \"\"hi\"\"\",\"line\nbreak\"\r\n"
        "\"'=SUM(A1)\",\"'+1\",\"'-ALL\"\r\n"
        "\"'@cmd\",\"'\tTab\",\"'\rCR\"\r\n"
        "x=1,a-b, lead\r\n");
}

// The CSV form: one row per detail, the type from what the walk reported at the path (a
// leaf folder is a directory though no line below it says so).
TEST(AuditForms, CsvRowsTakeTheirTypeFromTheWalk)
{
    ReportList results
        = MakeList({ { 10, "\\\\FS1\\VOL1" }, { 11, "TRUE" }, { 14, "*.*" }, { 13, "Both" }, { 12, "Both" }, { 0 } });
    results.appendPathLine("FS1\\VOL1:EMPTY", PathEntryType::Directory);
    results.appendIrm(0);
    results.appendPathLine("FS1\\VOL1:EMPTY", PathEntryType::Directory);
    results.appendOwner(NameTable::noName);
    results.appendPathLine("FS1\\VOL1:A,B.TXT", PathEntryType::File);
    results.appendTrustee(results.names().intern("=HYPERLINK(\"x\")"), RightsMask("RF"));
    results.appendTrustee(results.names().intern(".Müller.Corp"), 0);
    EXPECT_EQ(BuildCsvForm(results),
        "\xEF\xBB\xBFpath,type,detail,name,rights\r\n"
        "FS1\\VOL1:EMPTY,directory,irm,,\"'-ALL\"\r\n"
        "FS1\\VOL1:EMPTY,directory,owner,(n/a),\r\n"
        "\"FS1\\VOL1:A,B.TXT\",file,trustee,\"'=HYPERLINK(\"\"x\"\")\",RF\r\n"
        "\"FS1\\VOL1:A,B.TXT\",file,trustee,.Müller.Corp,\r\n");
    EXPECT_EQ(BuildSaveForm(SaveForm::Csv, results, results), BuildCsvForm(results));
    EXPECT_EQ(BuildCsvForm(ReportList()), "\xEF\xBB\xBFpath,type,detail,name,rights\r\n");
}

TEST(AuditForms, HtmlCountsSectionsAndEscaping)
{
    ReportList results = MakeList({ { 10, "\\\\FS1\\VOL1\\A&B" }, { 11, "TRUE" }, { 14, "*.*" }, { 13, "Trustees" },
        { 12, "Directories" }, { 0 }, { 15, "FS1\\VOL1:A&B" }, { 18, "", "RF" }, { 15, "FS1\\VOL1:A&B" },
        { 16, ".Admin.Corp", "RWCEAFM" }, { 16, "ID: [0001A2B3]", "RF" }, { 16, "Say \"hi\" <b>'\a", "R" }, { 0 },
        { 0 }, { 10, "\\\\FS1\\VOL2" }, { 11, "FALSE" }, { 14, "*.*" }, { 13, "Trustees" }, { 12, "Directories" },
        { 0 }, { 15, "FS1\\VOL2:" }, { 16, ".ADMIN.corp", "R" }, { 16, "ID: [0001A2B3]", "R" }, { 18, "", "" } });
    const std::string html = BuildHtmlForm(results, { "2026-03-02T14:05:09+01:00", 42 });
    const auto count
        = [&](const std::string& what) { return QString::fromStdString(html).count(QString::fromStdString(what)); };
    EXPECT_EQ(html.rfind("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">", 0), 0u);
    EXPECT_EQ(count("<time datetime=\"2026-03-02T14:05:09+01:00\">2026-03-02T14:05:09+01:00</time>"), 1);
    // Entries examined as given; five trustee lines; .Admin.Corp and .ADMIN.corp are one
    // trustee, the unknown ID another; one unresolved ID; two IRM lines.
    EXPECT_EQ(count("<dt>Entries examined</dt><dd>42</dd>"), 1);
    EXPECT_EQ(count("<dt>Trustee assignments</dt><dd>5</dd>"), 1);
    EXPECT_EQ(count("<dt>Distinct trustees</dt><dd>3</dd>"), 1);
    EXPECT_EQ(count("<dt>Unresolved IDs</dt><dd>1</dd>"), 1);
    EXPECT_EQ(count("<dt>Filtering IRMs</dt><dd>2</dd>"), 1);
    // One section per start path, headed by its Base line, each with its table.
    EXPECT_EQ(count("<section>\n<h3>Base: \\\\FS1\\VOL1\\A&amp;B</h3>\n<table class=\"list\" id=\"path-1\">"), 1);
    EXPECT_EQ(count("<section>\n<h3>Base: \\\\FS1\\VOL2</h3>\n<table class=\"list\" id=\"path-2\">"), 1);
    EXPECT_EQ(count("<table class=\"list\" id=\"trustees\">"), 1);
    // Every text escaped for HTML; a control character shown as U+FFFD.
    EXPECT_EQ(count("<td>Say &quot;hi&quot; &lt;b&gt;&apos;\xEF\xBF\xBD</td>"), 2); // in both lists
    EXPECT_EQ(count("<td>FS1\\VOL2:</td><td></td><td>irm</td><td></td><td>-ALL</td>"), 1);
    EXPECT_EQ(count("<b>"), 0);
    EXPECT_EQ(count("class=\"note\""), 0);
    // The save form without run information: no time, no entries counted.
    const std::string saved = BuildSaveForm(SaveForm::Html, results, results);
    EXPECT_NE(saved.find("<time datetime=\"\"></time>"), std::string::npos);
    EXPECT_NE(saved.find("<dt>Entries examined</dt><dd>0</dd>"), std::string::npos);
}

TEST(AuditForms, LargeHtmlPagesSaySoAndEveryFormLetsMessagesThrough)
{
    ReportList results;
    for (size_t i = 0; i < htmlLargeRows / 2 + 1; ++i) {
        results.appendPathLine("FS1\\VOL1:DIR" + std::to_string(i), PathEntryType::Directory);
        results.appendTrustee(results.names().intern(".Admin.Corp"), 1);
    }
    int calls = 0;
    TestServices services;
    services.pendingMessages = [&calls] { ++calls; };
    // Rows of both lists count: just above the limit.
    const std::string html = BuildHtmlForm(results, {});
    EXPECT_NE(html.find("<p class=\"note\">This page holds 20002 rows."), std::string::npos);
    EXPECT_GE(calls, 4);
    calls = 0;
    BuildCsvForm(results);
    EXPECT_EQ(calls, 4); // every 4096 of 20002 lines
    services.pendingMessages = [] { throw OperationCancelled(); };
    EXPECT_THROW(BuildHtmlForm(results, {}), OperationCancelled);
    EXPECT_THROW(BuildCsvForm(results), OperationCancelled);
}
