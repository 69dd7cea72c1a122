// The reference lists as the register's menu opens them (read, shown and painted, closed)
// against their statement's rows read alone.
#include "bench_support.h"
#include "data_module.h"
#include "nomenclature_list.h"
#include "operations_list.h"
#include "products_list.h"
#include "windows.h"
#include "workers_list.h"

#include <QTableView>

namespace bench {

namespace {

void measureList(Context& c, const QString& name, const std::function<RefList&()>& list,
                 const std::function<Dataset&()>& rows)
{
    Measure m;
    m.group = QStringLiteral("lists");
    m.name = name;
    m.limit = QStringLiteral("its statement alone");
    m.runs = 11;
    m.setup = [&] {
        m.traced = &c.dm().db;
        m.rows = fetchAll(c.dm().db, rows().sql());
    };
    m.program = [&](int) {
        RefList& l = list();
        PaintWatch painted(l.grid->viewport());
        l.prepareBrowsing();
        l.show();
        painted.wait();
        stopClock();
        l.hide();
        l.finish();
    };
    m.reference = [&](int) { fetchAll(c.dm().db, rows().sql()); };
    c.runner.run(m);
}

} // namespace

void listsSuite(Context& c)
{
    measureList(c, QStringLiteral("Рабочие"), [&]() -> RefList& { return c.windows().workersList(); },
                [&]() -> Dataset& { return c.dm().workers; });
    measureList(c, QStringLiteral("Изделия"), [&]() -> RefList& { return c.windows().productsList(); },
                [&]() -> Dataset& { return c.dm().products; });
    measureList(c, QStringLiteral("Цены (lowest prices)"), [&]() -> RefList& { return c.windows().operationsList(); },
                [&]() -> Dataset& { return c.dm().operations; });
    measureList(c, QStringLiteral("Ном. группы"), [&]() -> RefList& { return c.windows().nomenclatureList(); },
                [&]() -> Dataset& { return c.windows().nomenclatureList().groups; });
}

} // namespace bench
