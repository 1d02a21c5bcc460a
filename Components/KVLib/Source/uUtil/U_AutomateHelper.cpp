#include "U_AutomateHelper.h"

#include <QObject>
#include <QPointer>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cstring>
#include <map>

#include "platform/core/Exception.h"
#include "platform/data/Dataset.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/grid/GridView.h"
#include "platform/os/Clipboard.h"

const char* const GridMessageHandler::kValueTooLong = "value too long";
const char* const GridMessageHandler::kBufferTooSmall = "value too long (or buffer size too small)";

namespace {

// The handler standing in front of each hooked grid.
std::map<const grid::GridView*, GridMessageHandler*>& handlers() {
    static std::map<const grid::GridView*, GridMessageHandler*> map;
    return map;
}

QByteArray toAnsi(const QString& text) {
    QStringEncoder encoder("windows-1251", QStringConverter::Flag::Default);
    return encoder.encode(text);
}

// The zero-terminated text at the start of the buffer, never read past its real size.
QString fromAnsi(const char* buffer, qsizetype size) {
    if (!buffer || size <= 0) return QString();
    const void* zero = std::memchr(buffer, 0, static_cast<size_t>(size));
    const qsizetype length = zero ? static_cast<const char*>(zero) - buffer : size;
    QStringDecoder decoder("windows-1251");
    return decoder.decode(QByteArrayView(buffer, length));
}

// Copies the answer and its zero into the buffer within its real size: a text that does not fit
// becomes the too-long text when that fits, else it is cut to size - 1. Returns the characters written.
qintptr writeAnswer(GridMessage& m, QByteArray text, const char* tooLong) {
    if (!m.buffer || m.bufferSize <= 0) return 0;
    if (text.size() + 1 > m.bufferSize) {
        const qsizetype tooLongSize = static_cast<qsizetype>(std::strlen(tooLong));
        text = tooLongSize + 1 <= m.bufferSize ? QByteArray(tooLong) : text.left(m.bufferSize - 1);
    }
    std::memcpy(m.buffer, text.constData(), static_cast<size_t>(text.size()));
    m.buffer[text.size()] = '\0';
    return text.size();
}

data::Dataset& dataSetOf(grid::GridView& grid) {
    data::Dataset* ds = grid.dataSet();
    if (!ds) throw core::Exception(QStringLiteral("Grid %1 has no dataset").arg(grid.gridName()));
    return *ds;
}

}  // namespace

// Stands in front of the grid's own event handling for as long as it lives; destroying it takes it
// off the grid.
class GridMessageHandler::Hook : public QObject {
public:
    explicit Hook(QObject* target) : target_(target) { target->installEventFilter(this); }
    ~Hook() override {
        if (target_) target_->removeEventFilter(this);
    }
    bool hooked() const { return !target_.isNull(); }

protected:
    // Every event goes on to the grid.
    bool eventFilter(QObject*, QEvent*) override { return false; }

private:
    QPointer<QObject> target_;
};

GridMessageHandler::GridMessageHandler(grid::GridView* grid) : grid_(grid) {
    // The widget grids are objects with events; a grid without them has nothing to hook.
    if (auto* object = dynamic_cast<QObject*>(grid)) hook_ = std::make_unique<Hook>(object);
    handlers()[grid] = this;
}

GridMessageHandler::~GridMessageHandler() {
    const auto it = handlers().find(grid_);
    if (it != handlers().end() && it->second == this) handlers().erase(it);
}

bool GridMessageHandler::hooked() const {
    return hook_ && hook_->hooked();
}

void GridMessageHandler::copyGridName() const {
    os::clipboard().setText(QStringLiteral("Name: ") + grid_->gridName());
}

bool GridMessageHandler::gridWndProc(GridMessage& m) {
    switch (m.msg) {
        case WM_GETTEXT:
        case GM_SETRECNO:
        case GM_RECORDCOUNT:
        case GM_SELECTFIELD:
        case GM_SETFIELDTEXT:
        case GM_COPYGRIDNAME:
        case GM_DELETE:
        case GM_EDIT:
        case GM_INSERT:
        case GM_POST:
            break;
        default:
            return false;
    }
    m.result = 0;
    try {
        switch (m.msg) {
            case WM_GETTEXT: {
                const auto& columns = grid_->columns();
                if (columns.empty())
                    throw core::Exception(QStringLiteral("Grid %1 has no columns").arg(grid_->gridName()));
                const qintptr last = static_cast<qintptr>(columns.size()) - 1;
                const qintptr index = std::clamp<qintptr>(m.wParam, 0, last);
                const QString text = dataSetOf(*grid_).fieldByName(columns[index].fieldName).asString();
                const QByteArray answer =
                    text.size() > kMaxTextLength ? QByteArray(kValueTooLong) : toAnsi(text);
                m.result = writeAnswer(m, answer, kValueTooLong);
                break;
            }
            case GM_SETRECNO:
                dataSetOf(*grid_).setRecNo(static_cast<int>(m.wParam));
                break;
            case GM_RECORDCOUNT:
                m.result = dataSetOf(*grid_).recordCount();
                break;
            case GM_SELECTFIELD: {
                selectedField_ = fromAnsi(m.buffer, m.bufferSize);
                const QString text = dataSetOf(*grid_).fieldByName(selectedField_).asString();
                const QByteArray answer = text.size() > m.wParam ? QByteArray(kBufferTooSmall) : toAnsi(text);
                m.result = writeAnswer(m, answer, kBufferTooSmall);
                break;
            }
            case GM_SETFIELDTEXT:
                dataSetOf(*grid_).fieldByName(selectedField_).setText(fromAnsi(m.buffer, m.bufferSize));
                break;
            case GM_COPYGRIDNAME:
                copyGridName();
                break;
            case GM_DELETE:
                dataSetOf(*grid_).remove();
                break;
            case GM_EDIT:
                dataSetOf(*grid_).edit();
                break;
            case GM_INSERT:
                dataSetOf(*grid_).insert();
                break;
            case GM_POST:
                dataSetOf(*grid_).post();
                break;
        }
    } catch (const std::exception&) {
        m.result = 0;
        ui::runGuarded([] { throw; });
    }
    return true;
}

qintptr sendGridMessage(grid::GridView* grid, unsigned msg, qintptr wParam, char* buffer,
                        qsizetype bufferSize) {
    GridMessage m{msg, wParam, buffer, bufferSize, 0};
    const auto it = handlers().find(grid);
    if (it != handlers().end() && it->second->gridWndProc(m)) return m.result;
    // A plain grid has no text of its own.
    if (msg == WM_GETTEXT && buffer && bufferSize > 0) buffer[0] = '\0';
    return 0;
}
