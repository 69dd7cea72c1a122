#pragma once
// The statements of the workers reference book: adding, changing and deleting a worker. Each
// write is refused, with nothing written, when the login may not edit the reference books or
// when a text may not be stored (workerFault).
#include "outcome.h"

#include <QString>
#include <optional>

class Database;

// What the worker dialog writes: the name and what the list shows as "Должность"
// (s_staffpos_hl), the chosen department's caption. These two columns are all a plant's
// person table has for the program.
struct WorkerValues {
    QString fio;
    std::optional<QString> position;  // none: no department chosen
};

// Refused when the name is empty, or a text holds a control character or more than its
// column's 254 characters; done otherwise. The name is taken trimmed.
Outcome workerFault(const WorkerValues& w);

class WorkersStore {
public:
    explicit WorkersStore(Database& db) : db_(db) {}

    // A new worker without a department gets an empty position.
    Outcome add(const WorkerValues& w);
    // A change without a department keeps the worker's position text.
    Outcome change(int personId, const WorkerValues& w);
    Outcome remove(int personId);

private:
    Database& db_;
};
