// Stored telephone values as customer tables hold them, and customer statements as "Vornx.ini"
// holds them: every value's own digits must find it again in the index (values longer than
// 255 bytes are left to the statement as written), and a statement
// understood as the indexable shape must give statements with one bound value per field.
#include "lookup/IndexedStatement.h"
#include "lookup/NumberIndex.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

    NumberIndex::Builder builder;
    const QStringList values = text.split(QLatin1Char('\n'));
    for (const QString& value : values)
        builder.add(value);
    const NumberIndex index = builder.finish();
    for (const QString& value : values) {
        const NumberIndex::Number number = NumberIndex::normalise(value);
        for (const QChar c : number.digits) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                abort();
        }
        // A caller's number is searched without its leading zeros.
        qsizetype zeros = 0;
        while (zeros < number.digits.size() && number.digits.at(zeros) == QLatin1Char('0'))
            ++zeros;
        const qsizetype significant = number.digits.size() - zeros;
        const bool indexable = significant >= 3 && number.digits.size() <= 16 && value.toUtf8().size() <= 255;
        if (indexable && !index.find(number.digits).values.contains(value))
            abort();
    }

    if (const std::optional<IndexedStatement> statement = IndexedStatement::parse(text)) {
        if (statement->fields().isEmpty())
            abort();
        const qsizetype bound = statement->exactStatement(2).count(QLatin1Char('?'));
        if (bound != 2 * statement->fields().size())
            abort();
        (void)statement->valuesStatement(IndexedStatement::RowKey::RowId);
    }
    (void)NumberIndex::describe(text);
    return 0;
}
