#pragma once
// What one copy of the program tells the others about a committed write: one notification on
// one channel, its payload a JSON object. The writing statement sends it (so it goes out when
// the write commits, never for a rolled-back one); the listeners parse it strictly.
//
//   {"v": 1, "copy": "<the sending connection's id>", "kind": "entry", "action": "add",
//    "days": ["2024-03-13"], "month": "2024-03-01" | null, "shift": 1, "worker": 12,
//    "rows": 1, "keys": [{"id": 5}] | null}
//
// "shift" and "worker" are 0 when the write names none; "keys" are the written rows' keys,
// left out (null) for a write of many rows, whose count "rows" still gives. The one other
// payload on the channel is a copy's probe of its own subscription (app/change_listener.h).
#include "change_seam.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The notification channel of every copy.
inline constexpr const char kChangeChannel[] = "tabel_change";

// At most this many rows name their keys in a notification (its payload is limited to 8000 bytes).
inline constexpr int kNoticeKeysAtMost = 20;

struct ChangeNotice {
    QString copy;
    DataKind kind = DataKind::Entry;
    ChangeAction action = ChangeAction::Add;
    QList<QDate> days;
    QDate month;
    int shiftNo = 0;
    int workerId = 0;
    int rows = 0;
    QStringList keys;  // each key as compact JSON text: {"id":5}

    // Whether the change touched `date`: one of its days, or its month's whole month. A change
    // that names neither (a product's delete with its entries) may have touched any date.
    bool touches(const QDate& date) const;
    // Whether it touched any day of the month starting on `first` (any month when it names none).
    bool touchesMonth(const QDate& first) const;
    // Whether it changed what a timesheet of that month shows: its rows, the entries and works
    // they are kept from, the month's close, the workers' names.
    bool touchesTimesheetOf(const QDate& first) const;
};

// The kind's name in a notification: "entry", "works", "norm", "operation", "worker", "product",
// "operation_kind", "group", "timesheet", "month".
QString kindName(DataKind kind);

// The JSON of a change without its "rows" and "keys", which the writing statement adds.
QString noticeHead(const QString& copy, const Change& change);

// The notice of a payload; nullopt, with the reason in `why`, for anything that is not exactly
// a notification of this version.
std::optional<ChangeNotice> parseNotice(const QString& payload, QString* why = nullptr);
