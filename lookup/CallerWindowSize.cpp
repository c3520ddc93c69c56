#include "lookup/CallerWindowSize.h"

#include "platform/profile/PrivateProfile.h"

namespace {
const QString kSection = QStringLiteral("CALLERWINDOW");
const QString kWidth = QStringLiteral("WIDTH");
const QString kHeight = QStringLiteral("HEIGHT");
// Larger than any screen: a value past it is damage, not a size.
constexpr int kLargest = 16384;
} // namespace

CallerWindowSize::CallerWindowSize(QString fileName, QSize defaultSize, QSize minimum)
    : m_fileName(std::move(fileName)), m_default(defaultSize), m_minimum(minimum)
{
}

QSize CallerWindowSize::read() const
{
    PrivateProfile ini(m_fileName);
    ini.load();
    const int width = ini.readInt(kSection, kWidth, 0);
    const int height = ini.readInt(kSection, kHeight, 0);
    if (width < m_minimum.width() || height < m_minimum.height() || width > kLargest || height > kLargest)
        return m_default;
    return {width, height};
}

bool CallerWindowSize::write(const QSize& size) const
{
    if (read() == size)
        return true;
    PrivateProfile ini(m_fileName);
    return ini.writeString(kSection, kWidth, QString::number(size.width()))
        && ini.writeString(kSection, kHeight, QString::number(size.height()));
}
