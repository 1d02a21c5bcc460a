#pragma once
// The client-side filter language of datasets: field names, text literals in single quotes, numbers
// (a leading minus allowed), =, <>, <, >, <=, >=, LIKE (% and _), IS [NOT] NULL, AND, OR, NOT,
// parentheses, and the functions UPCASE/UPPER and LOWER. NULL follows SQL: it satisfies no comparison
// and no LIKE, only IS [NOT] NULL tests it.

#include <QString>
#include <functional>
#include <memory>

#include "platform/core/Variant.h"

namespace data {

struct FilterOptions;

class FilterExpression {
public:
    struct Node;
    // Raises core::Exception for an expression that does not parse or nests parentheses, NOT and
    // functions more than 256 levels deep.
    static std::shared_ptr<FilterExpression> parse(const QString& text);
    ~FilterExpression();

    using FieldReader = std::function<core::Variant(const QString& name)>;
    // Keeps the LIKE patterns it compiles for the next rows: one thread at a time.
    bool evaluate(const FieldReader& field, const FilterOptions& options) const;

private:
    std::unique_ptr<Node> root_;
};

}  // namespace data
