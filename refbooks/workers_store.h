#pragma once
// The statements of the workers reference book: adding, changing and deleting a worker.
#include "dataset.h"

#include <optional>

class TDataModule6;

// What the worker dialog writes. `position` is what the list shows as "Должность"
// (s_staffpos_hl): the chosen department's caption. Ids are 0 when nothing is chosen.
struct WorkerData {
    QString fio;
    std::optional<QString> position;  // none: no department chosen
    int departmentId = 0;
    int staffposId = 0;
    int roleId = 0;
};

class WorkersStore {
public:
    explicit WorkersStore(TDataModule6& dm);

    // A new worker without a department gets an empty position.
    void add(const WorkerData& w);
    // A change without a department keeps the worker's position text.
    void change(int personId, const WorkerData& w);
    void remove(int personId);

    Command cmd_person;

private:
    void bind(const WorkerData& w);
};
