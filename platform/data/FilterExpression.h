#pragma once
// The client-side filter language of datasets: field names, text literals in single quotes, numbers,
// =, <>, <, >, <=, >=, LIKE (% and _), IS [NOT] NULL, AND, OR, NOT, parentheses, and the functions
// UPCASE/UPPER and LOWER.

#include <QString>
#include <functional>
#include <memory>

#include "platform/core/Variant.h"

namespace data {

struct FilterOptions;

class FilterExpression {
public:
    struct Node;
    // Raises core::Exception for an expression that does not parse.
    static std::shared_ptr<FilterExpression> parse(const QString& text);
    ~FilterExpression();

    using FieldReader = std::function<core::Variant(const QString& name)>;
    bool evaluate(const FieldReader& field, const FilterOptions& options) const;

private:
    std::unique_ptr<Node> root_;
};

}  // namespace data
