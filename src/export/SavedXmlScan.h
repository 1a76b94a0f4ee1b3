#pragma once

class AuditReport;
class QIODevice;

/// Reads a saved XML file the quick way, from the start of `source`, into an empty
/// report: for the form Grantwise writes (its own declaration, elements without
/// attributes, blanks between them, the predefined entities, "&acute;", numeric
/// character references and windows-1252 bytes in the texts) it gives what the full
/// reader gives, at the speed of a scan over the bytes.
///
/// Returns false as soon as it meets anything else: other markup (a comment, CDATA, a
/// processing instruction, an attribute, an empty-element tag), a raw carriage return,
/// control character or '>' in a text, a reference that is not one of the above or
/// names a character XML does not allow, a read error, a cut-off file, or any mistake.
/// The report is then partly filled and the caller reads the file again from its start
/// with the full reader, which handles every well-formed document and names the line
/// and column of a fault. Keeping that reader for the rare case keeps its exact errors
/// without a second description of XML here.
bool ScanSavedXml(QIODevice& source, AuditReport& report);
