#pragma once

#include "lookup/CallerLookup.h"
#include "lookup/CallerWindow.h"
#include "lookup/DataSourceSettings.h"
#include "lookup/LineCommands.h"
#include "platform/ProgramFolder.h"

#include <QStringList>

// The caller window as the main window drives it: the lookup of the program folder's
// "Vornx.ini", line commands that are written down, and a number shown the way a call is.
class RecordingLine final : public LineCommands
{
public:
    void dial(const QString& number) override { calls << QStringLiteral("dial ") + number; }
    void pickUp() override { calls << QStringLiteral("pick up"); }
    void hangUp() override { calls << QStringLiteral("hang up"); }

    QStringList calls;
};

class CallerWindowFixture
{
public:
    explicit CallerWindowFixture(CallerLookup::RegionLookup region = {})
        : lookup(DataSourceSettings::read(ProgramFolder::file(QStringLiteral("Vornx.ini"))), std::move(region),
                 ProgramFolder::path()),
          window(lookup, line)
    {
        CallerWindow::showNotices(lookup.openingNotices());
    }

    void show(const QString& number, const QString& delivered = QString())
    {
        window.close();
        const std::optional<CallerRecord> record = lookup.arrive(number, delivered);
        if (record)
            window.showRecord(*record);
        window.show();
        if (record)
            CallerWindow::showNotices(record->notices());
    }

    template <class T>
    T* child(const char* name) const
    {
        return window.findChild<T*>(QLatin1String(name));
    }

    RecordingLine line;
    CallerLookup lookup;
    CallerWindow window;
};
