#pragma once

// The services the program reaches outside its own code (the NetWare client library, the
// message box, letting pending window messages through, choosing a file to save to, the
// program's own file),
// gathered in one context that each front end builds and hands on: main() and the window,
// grantwise-report, and every test, bench and fuzz target with its own.
//
// Code that is handed a context uses it directly (the client start-up, the scan run, the
// window). The system's own free functions keep their argument lists (ShowMsg,
// ProcessPendingMessages, InitNWClient, and D_NW's operations through NWLib()); they are
// thin wrappers over the current context, the one a ServicesScope made current. That
// pointer is the only process-wide state of these services.

#include "netware/NWClientLibrary.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

/// What choosing a file to save to is asked.
struct SaveFileRequest {
    std::string fileName; ///< the file name proposed
    std::string defaultExt; ///< added to a name chosen without an extension
    std::string filter; ///< "Description|*.ext|Description|*.*"; the first choice is selected
};

/// Shows a modal message box of a type (MsgType) with a text and one OK button.
using MessageBoxFunction = std::function<void(int type, const std::string& text)>;
/// Chooses the file to save to: the full file name, or nullopt when the user cancelled.
using SaveFileNameFunction = std::function<std::optional<std::string>(const SaveFileRequest& request)>;
/// Chooses an existing file to open (the request's file name is the one proposed, its
/// filter the choices): the full file name, or nullopt when the user cancelled.
using OpenFileNameFunction = SaveFileNameFunction;

/// One context of services. A plain value: a copy has the same services (the window
/// copies the one it is given and adds its pump). Whoever fills it keeps what it points
/// to (the client library, what the functions capture) alive while the context is used.
struct Services {
    /// The NetWare client library. nullptr: none is installed, and every call fails with
    /// 0x88FF ("No NetWare client library is installed"), as on a workstation without a
    /// NetWare client.
    NWClientLibrary* clientLibrary = nullptr;
    /// The message box. Empty: "grantwise: <text>" on standard error.
    MessageBoxFunction messageBox;
    /// Lets pending window messages through; long operations call it after every step and
    /// may be ended by what it throws (OperationCancelled). Empty: nothing happens.
    std::function<void()> pendingMessages;
    /// Told how far the running long operation over lines has come: `done` of `total`
    /// lines (or rows) of its present pass. Long operations tell it each time they let
    /// pending messages through with a count (ProcessPendingMessages(done, total)), so
    /// whoever shows the count reads it at its own pace. Empty: nobody is told.
    std::function<void(uint64_t done, uint64_t total)> progress;
    /// Chooses the file a save writes. Empty: no file is chosen (as if cancelled).
    SaveFileNameFunction saveFileName;
    /// Chooses a file to open (the saved XML file a compare reads). Empty: none is chosen.
    OpenFileNameFunction openFileName;
    /// The program file's full path, beside which its information text and README lie
    /// and after which its settings file is named. Empty: the running executable's.
    std::string programFilePath;

    /// The connection InitNWClient opened through this context; 0xFFFF while it has not
    /// brought the client up. The client is brought up once per context (a copy carries
    /// the value it was copied with).
    uint32_t StartupConn = 0xFFFF;

    /// The client library, or the absent library when none is installed.
    NWClientLibrary& client() const;
    /// Shows the message box (see messageBox).
    void showMessage(int type, const std::string& text) const;
    /// Lets pending messages through (see pendingMessages).
    void processPendingMessages() const;
    /// Tells the progress service how far the running operation is (see progress).
    void reportProgress(uint64_t done, uint64_t total) const;
    /// Chooses a file (see saveFileName).
    std::optional<std::string> askSaveFileName(const SaveFileRequest& request) const;
    /// Chooses a file to open (see openFileName).
    std::optional<std::string> askOpenFileName(const SaveFileRequest& request) const;
};

/// Makes a context the current one for its lifetime; the one current before comes back
/// when it ends. Scopes nest; one that ends while others opened after it still live
/// (windows closed in another order than they were made) just leaves the chain. Used on
/// the GUI thread (or the command line's main thread) only; the context must outlive the
/// scope.
class ServicesScope {
public:
    explicit ServicesScope(Services& services);
    ~ServicesScope();
    ServicesScope(const ServicesScope&) = delete;
    ServicesScope& operator=(const ServicesScope&) = delete;

private:
    Services* m_services;
    ServicesScope* m_below;
    friend Services& CurrentServices();
};

/// The context of the innermost live ServicesScope; outside every scope an empty context
/// (no client library, messages on standard error, no pending messages, no file chosen,
/// the running executable's path).
Services& CurrentServices();

/// The client library of the current context (the absent library when it has none):
/// D_NW and the shell stand-in reach the library through this.
NWClientLibrary& NWLib();
