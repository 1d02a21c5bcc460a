#pragma once
// Prepared statements a connection keeps after their Statement objects let them go, so the same text
// run again skips the server's parse and optimisation (most of the cost of a short statement). Keyed
// by the text the server gets; the least recently returned go first once the cache is full. A kept
// statement holds its tables in use: the connection drops them all before any metadata change it
// makes, and when it closes.

#include <QByteArray>
#include <QHash>
#include <list>
#include <memory>
#include <vector>

#include "platform/fb/Statement.h"

namespace Firebird {
class IStatement;
class IMessageMetadata;
}  // namespace Firebird

namespace fb::detail {

struct MetaRelease {
    void operator()(Firebird::IMessageMetadata* m) const;
};
using MetaPtr = std::unique_ptr<Firebird::IMessageMetadata, MetaRelease>;

// A statement as the server prepared it, with what was read of it once.
struct PreparedStatement {
    PreparedStatement() = default;
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;
    ~PreparedStatement();  // frees the server's statement

    Firebird::IStatement* stmt = nullptr;
    unsigned type = 0;
    MetaPtr inMeta;
    MetaPtr outMeta;
    std::vector<FieldInfo> fields;
    unsigned outLength = 0;
};

class StatementCache {
public:
    static constexpr int kDefaultCapacity = 256;

    // Null when none with this text is kept; the statement taken is no longer in the cache.
    std::unique_ptr<PreparedStatement> take(const QByteArray& text);
    // Keeps the statement (another with the same text already kept, this one is freed).
    void put(const QByteArray& text, std::unique_ptr<PreparedStatement> statement);
    void clear() noexcept;
    void setCapacity(int capacity);
    int capacity() const { return capacity_; }
    int size() const { return static_cast<int>(order_.size()); }

private:
    void trim();

    using Entry = std::pair<QByteArray, std::unique_ptr<PreparedStatement>>;
    std::list<Entry> order_;  // most recently returned first
    QHash<QByteArray, std::list<Entry>::iterator> byText_;
    int capacity_ = kDefaultCapacity;
};

}  // namespace fb::detail
