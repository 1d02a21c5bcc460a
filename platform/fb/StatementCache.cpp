#include "platform/fb/StatementCache.h"

#include <ibase.h>

#include "platform/fb/Client.h"

namespace fb::detail {

using namespace Firebird;

void MetaRelease::operator()(IMessageMetadata* m) const {
    if (m) m->release();
}

PreparedStatement::~PreparedStatement() {
    if (!stmt) return;
    try {
        Status st;
        stmt->free(&st);
    } catch (...) {
        stmt->release();  // a broken connection: the server frees it with the attachment
    }
}

std::unique_ptr<PreparedStatement> StatementCache::take(const QByteArray& text) {
    const auto found = byText_.constFind(text);
    if (found == byText_.constEnd()) return nullptr;
    const auto it = *found;
    std::unique_ptr<PreparedStatement> statement = std::move(it->second);
    byText_.erase(found);
    order_.erase(it);
    return statement;
}

void StatementCache::put(const QByteArray& text, std::unique_ptr<PreparedStatement> statement) {
    if (!statement || capacity_ <= 0 || byText_.contains(text)) return;
    order_.emplace_front(text, std::move(statement));
    byText_.insert(text, order_.begin());
    trim();
}

void StatementCache::clear() noexcept {
    byText_.clear();
    order_.clear();
}

void StatementCache::setCapacity(int capacity) {
    capacity_ = std::max(0, capacity);
    trim();
}

void StatementCache::trim() {
    while (static_cast<int>(order_.size()) > capacity_) {
        byText_.remove(order_.back().first);
        order_.pop_back();
    }
}

}  // namespace fb::detail
