#pragma once
// The automation hook of one sort-marker grid, for tools that drive the program from its own code:
// made on a grid (not owned), it answers the grid's text requests - reading and writing the current
// row's fields, moving between records, the editing operations of the grid's dataset - and passes
// every other request and every event on to the grid unchanged. Destroying it takes it off the grid,
// which then answers as a plain grid once more.
//
// The requests carry buffers of the caller's memory, so only code in this process can send them
// (sendGridMessage). Texts travel in windows-1251, zero-terminated, and never past the real size of
// the caller's buffer.
//
// Owners keep it in an owning pointer and destroy it before the grid; a grid destroyed first is
// noticed, and the handler then has nothing to give back.

#include <QString>
#include <QtGlobal>
#include <memory>

namespace grid {
class GridView;
}

// The requests, numbered as the window messages they stand for.
constexpr unsigned WM_GETTEXT = 13;
constexpr unsigned WM_USER = 1024;
constexpr unsigned GM_SETRECNO = WM_USER + 1001;      // WParam: record number
constexpr unsigned GM_RECORDCOUNT = WM_USER + 1002;   // Result: number of records
constexpr unsigned GM_SELECTFIELD = WM_USER + 1010;   // WParam: buffer size; buffer: field name, answer
constexpr unsigned GM_SETFIELDTEXT = WM_USER + 1011;  // buffer: the new text of the selected field
constexpr unsigned GM_COPYGRIDNAME = WM_USER + 1020;
constexpr unsigned GM_DELETE = WM_USER + 1030;
constexpr unsigned GM_EDIT = WM_USER + 1031;
constexpr unsigned GM_INSERT = WM_USER + 1032;
constexpr unsigned GM_POST = WM_USER + 1033;

// One request: the message, its WParam, the caller's buffer with its real size in bytes (the LParam
// of the window message), and the answer.
struct GridMessage {
    unsigned msg = 0;
    qintptr wParam = 0;
    char* buffer = nullptr;
    qsizetype bufferSize = 0;
    qintptr result = 0;
};

class GridMessageHandler {
public:
    explicit GridMessageHandler(grid::GridView* grid);
    ~GridMessageHandler();
    GridMessageHandler(const GridMessageHandler&) = delete;
    GridMessageHandler& operator=(const GridMessageHandler&) = delete;

    grid::GridView* grid() const { return grid_; }
    // The field chosen by the select-field request; empty at construction.
    const QString& selectedField() const { return selectedField_; }
    // Whether the handler stands in front of the grid's event handling (a grid without events, or one
    // already destroyed, has none).
    bool hooked() const;

    // Answers the request when it is one of the grid's text requests (true); any other is left to the
    // grid (false). A failure is shown in the exception box and leaves Result 0.
    bool gridWndProc(GridMessage& message);
    // Puts "Name: " and the grid's component name on the clipboard.
    void copyGridName() const;

    static const char* const kValueTooLong;     // "value too long"
    static const char* const kBufferTooSmall;   // "value too long (or buffer size too small)"
    static constexpr int kMaxTextLength = 100;  // longest text WM_GETTEXT answers

private:
    class Hook;
    grid::GridView* grid_;
    QString selectedField_;
    std::unique_ptr<Hook> hook_;
};

// Sends a request to a grid: its handler answers it, or, without one, the grid answers as a plain
// grid (an empty text for WM_GETTEXT, 0 for everything). Returns Result.
qintptr sendGridMessage(grid::GridView* grid, unsigned msg, qintptr wParam, char* buffer,
                        qsizetype bufferSize);
