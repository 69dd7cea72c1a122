#pragma once
// The statements of the workers reference book: adding, changing and deleting a worker.
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

class WorkersStore {
public:
    explicit WorkersStore(Database& db) : db_(db) {}

    // A new worker without a department gets an empty position.
    void add(const WorkerValues& w);
    // A change without a department keeps the worker's position text.
    void change(int personId, const WorkerValues& w);
    void remove(int personId);

private:
    Database& db_;
};
