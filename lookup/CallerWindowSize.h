#pragma once

#include <QSize>
#include <QString>

// The caller window's size as the user left it, kept in section [CALLERWINDOW] of
// "sysset.ini" (keys WIDTH and HEIGHT): the width and the folded height of its client area,
// since the business records add their own room below when unfolded. A size that is
// missing, not a number or below `minimum` reads as the default, so a damaged file cannot
// make the window vanish.
class CallerWindowSize
{
public:
    CallerWindowSize(QString fileName, QSize defaultSize, QSize minimum);

    QSize read() const;
    // Writes only what changed; returns whether the file holds `size` afterwards.
    bool write(const QSize& size) const;

private:
    QString m_fileName;
    QSize m_default;
    QSize m_minimum;
};
