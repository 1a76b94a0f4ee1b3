#pragma once

#include <array>
#include <string>
#include <string_view>

/// Captions of the "&Scope" and "&Info" choices, in item order.
inline constexpr std::array<std::string_view, 3> ScopeItems { "&Directories", "&Files", "&Both" };
inline constexpr std::array<std::string_view, 3> InfoItems { "&Trustees", "&Owner", "&Both" };

/// The user's scan choices as the scan reads them, at the moment of each entry (a change
/// during a scan would apply from the next entry on; the window locks its controls while
/// a scan runs, so that each start path's settings block describes the lines below it),
/// and the two displays the scan writes to. The window implements it over its widgets;
/// the command line and the tests over plain values (PlainScanControls).
class ScanControls {
public:
    virtual ~ScanControls() = default;

    /// Selected index of the scope choice (0 directories, 1 files, 2 both; -1 none).
    virtual int scopeIndex() const = 0;
    /// Selected index of the info choice (0 trustees, 1 owner, 2 both; -1 none).
    virtual int infoIndex() const = 0;
    /// The "IRM: Directories" check box.
    virtual bool irmChecked() const = 0;
    /// The text of the pattern field, as typed.
    virtual std::string patternText() const = 0;

    /// Shows the path of the entry being examined (status bar panel 1).
    virtual void showStatus(std::string_view text) = 0;
    /// Appends one line to the information page (the trustee names of every entry).
    virtual void appendInfoLine(std::string_view line) = 0;
};

/// Scan choices held as plain values; the displays are discarded unless a subclass keeps
/// them.
class PlainScanControls : public ScanControls {
public:
    int scope = 0;
    int info = 0;
    bool irm = true;
    std::string pattern = "*.*";

    int scopeIndex() const override { return scope; }
    int infoIndex() const override { return info; }
    bool irmChecked() const override { return irm; }
    std::string patternText() const override { return pattern; }
    void showStatus(std::string_view) override { }
    void appendInfoLine(std::string_view) override { }
};
