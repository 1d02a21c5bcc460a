#include <gtest/gtest.h>

#include "kv_Translator.h"

namespace {

TEST(TranslatorTest, StoredTextsAndDefaults) {
    KVLibTranslator& t = KVLibTranslator::instance();
    EXPECT_EQ(&t, &KVLibTranslator::instance());

    const QString key = QStringLiteral("u_Test.Unit.method.Exception");
    EXPECT_EQ(t.translate(key, QStringLiteral("По умолчанию")), QStringLiteral("По умолчанию"));

    t.set(key, QStringLiteral("Перший текст"));
    t.set(key, QStringLiteral("Другий текст"));
    EXPECT_EQ(t.translate(key, QStringLiteral("По умолчанию")), QStringLiteral("Другий текст"));

    // Keys compare exactly: another letter case is another key.
    EXPECT_EQ(t.translate(QStringLiteral("u_test.Unit.method.Exception"), QStringLiteral("def")),
              QStringLiteral("def"));

    t.set(QStringLiteral("u_Test.Unit.method.Empty"), QString());
    EXPECT_EQ(t.translate(QStringLiteral("u_Test.Unit.method.Empty"), QStringLiteral("def")), QString());

    // A change of language overwrites the keys it sets and leaves the others alone.
    t.set(key, QStringLiteral("Второй текст"));
    EXPECT_EQ(t.translate(key, QString()), QStringLiteral("Второй текст"));
    EXPECT_EQ(t.translate(QStringLiteral("u_Test.Never.set"), QStringLiteral("Русский")),
              QStringLiteral("Русский"));
}

}  // namespace
