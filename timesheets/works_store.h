#pragma once
// The household (7777) and average piece-rate (7778) works of a day: saving and deleting a
// record together with the worker's day cells in the monthly table, in one transaction under
// the same locks as a register entry (lock_keys.h), acting on the record as it is stored; and
// the month's average piece-rate prices recomputed from the register.
#include "dataset.h"
#include "decimal4.h"
#include "outcome.h"
#include "role.h"
#include "timesheet_month.h"

#include <QDate>
#include <optional>

class Database;

struct WorksValues {
    int nomenclatureId = 0;
    int kind = 7777;
    int workerId = 0;
    int hours = 0;
    Decimal4 price;  // per hour, the factors applied
    bool dayOff = false;
    bool night = false;
    QDate date;  // of a new record; a change keeps the stored date
};

// The highest price per hour a record holds (its column has 11 digits before the point).
constexpr qint64 kMaxWorksPrice = 99999999999;

// The first value a record may not hold, as the message the user reads; nullopt when it may
// be stored: nomenclature, worker and a kind of works (7777 or 7778) chosen, a date (of a new
// record), from 1 to 24 hours, a price from 0 to kMaxWorksPrice.
std::optional<QString> worksFault(const WorksValues& values, bool newRecord);

// The message when the record a user works on is no longer what the list showed.
extern const QString kWorksChangedMeanwhile;

class WorksStore {
public:
    explicit WorksStore(Database& db) : db_(db) {}

    // The price per hour of a record: the kind's norm price, doubled on a day off, then × 1.2
    // for night works; nullopt when it does not fit.
    static std::optional<Decimal4> priceOf(const Decimal4& normPrice, bool dayOff, bool night);
    // Why a kind's norm price, as the kinds' statement reads it, can be no price of a record:
    // it is no number ("NaN"), or too large a one (infinity, 1e308); empty when it can.
    static QString normPriceFault(const QString& text);

    // The statement of the day's records (parameter :d_date) for the list.
    static QString listStatement();
    // The statement of the kinds of works with their norm price per hour (field "price", text).
    static QString kindsStatement();

    // Each write is refused, with nothing written, when the login may not make it or when
    // worksFault finds a value wrong.
    Outcome add(const WorksValues& values);
    // Changes the record `shown` (a row of the list, as the user saw it): nomenclature, kind,
    // worker, hours, price and the two flags; its date stays. The day cell it leaves is
    // recomputed as well as the one it joins.
    Outcome change(const Row& shown, const WorksValues& values);
    // Deletes the record `shown`; its day cell keeps the hours of the day's other records.
    Outcome remove(const Row& shown);
    // Every average piece-rate record of the month gets the worker's piece-work earnings per
    // hour in the month on products of the record's nomenclature group (doubled for a record of
    // a day off), rounded to two places; 0 without such hours. Full rights only.
    Outcome recomputeAveragePrices(TimesheetMonth month);

private:
    Outcome admit(Command command, const WorksValues& values, bool newRecord) const;
    // The stored record of `id`, locked until the transaction ends; nullopt when it is gone.
    std::optional<Row> lockStored(int id);

    Database& db_;
};
