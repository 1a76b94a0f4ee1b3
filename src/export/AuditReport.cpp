#include "export/AuditReport.h"

#include "export/ReportExport.h"
#include "export/SavedXmlScan.h"
#include "export/XmlText.h"
#include "netware/D_NW.h"
#include "scan/LineKinds.h"
#include "scan/ReportList.h"
#include "util/D_Util.h"
#include "util/Utf8.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRegularExpression>
#include <QString>
#include <QXmlStreamEntityResolver>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstring>
#include <exception>
#include <thread>

namespace {

// A text as a parser reads it back from the XML form (AppendXmlText): the control
// characters other than tab, LF and CR, and U+FFFE and U+FFFF, which XML cannot hold,
// come back as "?"; a byte outside a well-formed UTF-8 sequence as U+FFFD. So a scan
// compares with its own save as equal.
std::string_view asSaved(std::string_view text, std::string& scratch)
{
    bool plain = true;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b >= 0x80) {
            plain = false;
            break;
        }
    }
    if (plain)
        return text;
    scratch.clear();
    for (size_t at = 0; at < text.size();) {
        uint32_t cp = 0;
        const size_t length = DecodeUtf8(text, at, cp);
        if (length == 0) {
            scratch += "\xEF\xBF\xBD";
            ++at;
            continue;
        }
        if ((cp < 0x20 && cp != '\t' && cp != '\n' && cp != '\r') || cp == 0xFFFE || cp == 0xFFFF)
            scratch += '?';
        else
            scratch.append(text.substr(at, length));
        at += length;
    }
    return scratch;
}

// A saved file as UTF-8: reads the windows-1252 bytes of a source device and hands on
// their UTF-8, with the declaration's encoding name replaced by "UTF-8" (padded with
// blanks, so that every column stays where it was). Qt's stream reader then decodes
// UTF-8, its fastest path. What the declaration named is kept for the parser to check.
class Utf8FromWindows1252 : public QIODevice {
public:
    explicit Utf8FromWindows1252(QIODevice& source)
        : m_source(source)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    /// The encoding the declaration named ("" when there was no declaration).
    const std::string& declaredEncoding() const noexcept { return m_declared; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (!m_started)
            start();
        // Each byte gives at most three: transcode straight into the reader's buffer.
        qint64 done = 0;
        while (done + 3 <= maxSize) {
            if (m_at == m_in.size() && !fill())
                break;
            const char* in = m_in.constData();
            const qsizetype end = m_in.size();
            while (m_at < end && done + 3 <= maxSize) {
                const auto b = static_cast<unsigned char>(in[m_at++]);
                if (b < 0x80) {
                    data[done++] = static_cast<char>(b);
                    continue;
                }
                const char16_t ch = Windows1252Char(b);
                if (ch < 0x800) {
                    data[done++] = static_cast<char>(0xC0 | (ch >> 6));
                } else {
                    data[done++] = static_cast<char>(0xE0 | (ch >> 12));
                    data[done++] = static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
                }
                data[done++] = static_cast<char>(0x80 | (ch & 0x3F));
            }
        }
        return done == 0 && maxSize >= 3 && m_ended ? -1 : done;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    // Reads the declaration (everything up to the first "?>" in the first 1 KiB) and
    // rewrites its encoding name.
    void start()
    {
        m_started = true;
        QByteArray head = m_source.read(1024);
        const qsizetype end = head.startsWith("<?xml") ? head.indexOf("?>") : -1;
        if (end >= 0) {
            static const QRegularExpression encoding(QStringLiteral("encoding\\s*=\\s*([\"'])([^\"']*)\\1"));
            const QRegularExpressionMatch match = encoding.match(QString::fromLatin1(head.left(end)));
            if (match.hasMatch()) {
                m_declared = match.captured(2).toStdString();
                if (match.captured(2).compare(QLatin1String("windows-1252"), Qt::CaseInsensitive) == 0) {
                    QByteArray name = "UTF-8";
                    name.append(match.capturedLength(2) - name.size(), ' ');
                    head.replace(match.capturedStart(2), match.capturedLength(2), name);
                    // The closing quote must follow the name: the blanks go after it.
                    const qsizetype quote = match.capturedStart(2) + 5;
                    head.insert(quote, head.at(match.capturedEnd(2)));
                    head.remove(match.capturedEnd(2) + 1, 1);
                }
            }
        }
        m_in = head;
        m_at = 0;
    }

    // Reads the next piece of the source; false at its end.
    bool fill()
    {
        if (m_ended)
            return false;
        m_in = m_source.read(1 << 16);
        m_at = 0;
        m_ended = m_in.isEmpty();
        return !m_ended;
    }

    QIODevice& m_source;
    QByteArray m_in; // the piece of the source being transcoded
    qsizetype m_at = 0;
    bool m_started = false;
    bool m_ended = false;
    std::string m_declared;
};

// Appends the UTF-8 of UTF-16 text (unpaired surrogates as U+FFFD).
void appendUtf8(std::string& out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()))
            c = QChar::surrogateToUcs4(static_cast<char16_t>(c), text[++i].unicode());
        else if (QChar::isSurrogate(c))
            c = 0xFFFD;
        AppendUtf8(out, c);
    }
}

// Older writers escaped an apostrophe as "&acute;"; no other undeclared entity is read.
class AcuteResolver : public QXmlStreamEntityResolver {
public:
    QString resolveUndeclaredEntity(const QString& name) override
    {
        return name == QLatin1String("acute") ? QStringLiteral("'") : QString();
    }
};

// The reader of one saved file: a QXmlStreamReader over the decoded text, with the checks
// of the Grantwise form and errors that name the file, line and column.
class SavedXmlParser {
public:
    SavedXmlParser(QIODevice* source, const std::string& fileName)
        : m_utf8(*source)
        , m_xml(&m_utf8)
        , m_fileName(fileName)
    {
        m_xml.setEntityResolver(&m_resolver);
    }

    AuditReport parse()
    {
        if (m_xml.readNext() != QXmlStreamReader::StartDocument || m_xml.documentVersion().isEmpty())
            fail("no XML declaration at the start");
        if (QString::fromStdString(m_utf8.declaredEncoding())
                .compare(QLatin1String("windows-1252"), Qt::CaseInsensitive)
            != 0)
            fail("the declaration names the encoding '" + m_utf8.declaredEncoding() + "', not windows-1252");
        if (!nextStart() || m_xml.name() != QLatin1String("document"))
            fail("the root element is not <document>");
        while (nextStart()) {
            if (m_xml.name() == QLatin1String("grantwise")) {
                while (nextStart())
                    line();
            } else {
                line();
            }
        }
        // After </document> only the end of the document may come.
        while (!m_xml.atEnd()) {
            const auto token = m_xml.readNext();
            if (token == QXmlStreamReader::StartElement
                || (token == QXmlStreamReader::Characters && !m_xml.isWhitespace()))
                fail("content after </document>");
        }
        if (m_xml.hasError())
            fail(m_xml.errorString().toStdString());
        return std::move(m_report);
    }

private:
    [[noreturn]] void fail(const std::string& what) const
    {
        throw SavedXmlError(Format("%s:%lld:%lld: not a Grantwise XML file: %s", m_fileName.c_str(),
            static_cast<long long>(m_xml.lineNumber()), static_cast<long long>(m_xml.columnNumber()), what.c_str()));
    }

    // Reads on to the next start element (true) or to the end of the element we are in
    // (false); text between elements must be blank.
    bool nextStart()
    {
        for (;;) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::StartElement:
                return true;
            case QXmlStreamReader::EndElement:
                return false;
            case QXmlStreamReader::Characters:
                if (!m_xml.isWhitespace())
                    fail("text outside the elements");
                break;
            case QXmlStreamReader::Comment:
                break;
            case QXmlStreamReader::Invalid:
                fail(m_xml.errorString().toStdString());
            case QXmlStreamReader::EndDocument:
                fail("the document ends inside an element");
            default:
                fail("unexpected " + m_xml.tokenString().toStdString());
            }
        }
    }

    // The text of the element the reader stands on, into out (UTF-8); an element inside
    // it is an error.
    void elementText(std::string& out)
    {
        out.clear();
        for (;;) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::Characters:
                appendUtf8(out, m_xml.text());
                break;
            case QXmlStreamReader::EndElement:
                return;
            case QXmlStreamReader::Comment:
                break;
            case QXmlStreamReader::StartElement:
                fail("Expected character data.");
            case QXmlStreamReader::Invalid:
                fail(m_xml.errorString().toStdString());
            default:
                fail("unexpected " + m_xml.tokenString().toStdString());
            }
        }
    }

    // The text of a child element that must come next, by name, into out.
    void child(const char* name, std::string& out)
    {
        if (!nextStart() || m_xml.name() != QLatin1String(name))
            fail(std::string("<") + name + "> expected");
        elementText(out);
    }

    void endOf(const char* element)
    {
        if (nextStart())
            fail("unexpected <" + m_xml.name().toString().toStdString() + "> in <" + element + ">");
    }

    // One line element (the reader stands on its start).
    void line()
    {
        const QStringView name = m_xml.name();
        if (name == QLatin1String("settings")) {
            if (!nextStart())
                fail("empty <settings>");
            const std::string setting = m_xml.name().toString().toStdString();
            elementText(m_value);
            if (!AddSavedSetting(m_report, setting, m_value))
                fail("unexpected setting <" + setting + ">");
            endOf("settings");
        } else if (name == QLatin1String("trustee")) {
            child("path", m_path);
            child("rights", m_value);
            child("name", m_name);
            m_report.add(AuditDetail::Trustee, m_path, m_name, m_value);
            endOf("trustee");
        } else if (name == QLatin1String("owner")) {
            child("path", m_path);
            child("name", m_value);
            m_report.add(AuditDetail::Owner, m_path, {}, m_value);
            endOf("owner");
        } else if (name == QLatin1String("irm")) {
            child("path", m_path);
            child("rights", m_value);
            m_report.add(AuditDetail::Irm, m_path, {}, m_value);
            endOf("irm");
        } else {
            fail("unexpected <" + name.toString().toStdString() + ">");
        }
    }

    AcuteResolver m_resolver;
    Utf8FromWindows1252 m_utf8;
    QXmlStreamReader m_xml;
    const std::string& m_fileName;
    AuditReport m_report;
    std::string m_path, m_name, m_value; // the texts of the line being read
};

// Reads a saved file from a source that can go back to its start: the quick reader for
// the form Grantwise writes, and when it declines, the full reader from the start. The
// full reader streams the source and decodes the windows-1252 its declaration names.
AuditReport readSaved(QIODevice& source, const std::string& fileName)
{
    {
        AuditReport report;
        if (ScanSavedXml(source, report))
            return report;
    }
    if (!source.seek(0))
        throw SavedXmlError(fileName + ": cannot read it: " + source.errorString().toStdString());
    return SavedXmlParser(&source, fileName).parse();
}

} // namespace

std::string& AuditSettingValue(AuditSettings& block, int32_t code) noexcept
{
    switch (code) {
    case lkSubdirs:
        return block.subdirs;
    case lkFilter:
        return block.filter;
    case lkInfo:
        return block.info;
    case lkScope:
        return block.scope;
    default:
        return block.base;
    }
}

bool AddSavedSetting(AuditReport& report, std::string_view element, std::string_view value)
{
    int32_t code = 0;
    if (element == "base")
        code = lkBase;
    else if (element == "subdir")
        code = lkSubdirs;
    else if (element == "scope")
        code = lkScope;
    else if (element == "info")
        code = lkInfo;
    else if (element == "filter")
        code = lkFilter;
    else
        return false;
    if (code == lkBase || report.blocks.empty())
        report.blocks.push_back({});
    AuditSettingValue(report.blocks.back(), code).assign(value);
    return true;
}

std::string_view AuditDetailWord(AuditDetail detail) noexcept
{
    switch (detail) {
    case AuditDetail::Irm:
        return "irm";
    case AuditDetail::Trustee:
        return "trustee";
    case AuditDetail::Owner:
        break;
    }
    return "owner";
}

uint32_t AuditReport::store(std::string_view text)
{
    m_texts.push_back({ m_arena.add(text), text.size() });
    return static_cast<uint32_t>(m_texts.size() - 1);
}

uint32_t AuditReport::intern(std::string_view text)
{
    if (const auto it = m_interned.find(text); it != m_interned.end())
        return it->second;
    const uint32_t id = store(text);
    m_interned.emplace(this->text(id), id);
    return id;
}

void AuditReport::add(AuditDetail kind, std::string_view path, std::string_view name, std::string_view value)
{
    // An entry's details follow one another: their path is stored once.
    if (m_lastPath == UINT32_MAX || text(m_lastPath) != path)
        m_lastPath = store(path);
    if (!m_sawPath) {
        m_longNames = path.substr(0, 2) == "\\\\";
        m_sawPath = true;
    }
    details.push_back({ m_lastPath, intern(name), intern(value), kind });
}

AuditReport AuditReportFromResults(const ReportList& results)
{
    AuditReport report;
    PathTextCache path;
    std::string rights, pathText, nameText, valueText;
    for (size_t i = 0; i < results.count(); ++i) {
        const ReportLine line = results.line(i);
        switch (line.row) {
        case ReportRow::Setting:
            if (line.code == lkBase || report.blocks.empty())
                report.blocks.push_back({});
            AuditSettingValue(report.blocks.back(), line.code).assign(asSaved(line.value, valueText));
            break;
        case ReportRow::Path:
            path.take(results, line.node, line.longForm);
            break;
        case ReportRow::Trustee:
            XmlRightsText(line.rights, false, rights);
            report.add(AuditDetail::Trustee, asSaved(path.text(), pathText),
                asSaved(results.names().name(line.name), nameText), rights);
            break;
        case ReportRow::Owner:
            report.add(AuditDetail::Owner, asSaved(path.text(), pathText), {},
                asSaved(results.ownerValue(line.name), nameText));
            break;
        case ReportRow::Irm:
            XmlRightsText(line.rights, true, rights);
            report.add(AuditDetail::Irm, asSaved(path.text(), pathText), {}, rights);
            break;
        default:
            break;
        }
    }
    return report;
}

AuditReport ParseSavedXml(std::string_view bytes, const std::string& fileName)
{
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return readSaved(buffer, fileName);
}

AuditReport ReadSavedXml(const std::string& fileName)
{
    // Only a regular file (a symbolic link is followed): a FIFO would make the read wait
    // for a writer, a device never end.
    const QString name = QString::fromStdString(fileName);
    const QFileInfo info(name);
    if (!info.exists())
        throw SavedXmlError(fileName + ": cannot read it: no such file");
    if (!info.isFile())
        throw SavedXmlError(fileName + ": cannot read it: not a regular file");
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw SavedXmlError(fileName + ": cannot read it: " + file.errorString().toStdString());
    return readSaved(file, fileName);
}

std::pair<AuditReport, AuditReport> ReadSavedXmlPair(const std::string& olderFile, const std::string& newerFile)
{
    AuditReport older;
    std::exception_ptr olderError;
    std::thread reader([&] {
        try {
            older = ReadSavedXml(olderFile);
        } catch (...) {
            olderError = std::current_exception(); // rethrown on the calling thread
        }
    });
    AuditReport newer;
    std::exception_ptr newerError;
    try {
        newer = ReadSavedXml(newerFile);
    } catch (...) {
        newerError = std::current_exception(); // rethrown below, after the older one's
    }
    reader.join();
    if (olderError)
        std::rethrow_exception(olderError);
    if (newerError)
        std::rethrow_exception(newerError);
    return { std::move(older), std::move(newer) };
}
