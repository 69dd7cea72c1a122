#include "pay_statement.h"

#include "text_runs.h"
#include "timesheet_store.h"
#include "whole_file.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace report;

namespace {

// One row per line of a statement: section 1 the register entries, 2 the works, 0 a worker
// without either (a page saying so). Each row carries its worker's figures: the piece-work and
// works sums and hours as the piece-work and the general timesheet compute them.
const QString kStatement = QStringLiteral(R"(
with month_workers as (
  select distinct h.w_id as id from accounts_dep.h_tabel h where h.year=:year and h.month=:month and :worker=0
  union all select :worker where :worker<>0),
workers as (
  select p.id, p.s_caption as fio, coalesce(ap.s_staffpos_hl, '') as department,
         row_number() over (order by p.s_caption, p.id) as place
  from month_workers m join cmn_contractor.person p on p.id=m.id left join accounts_dep.person ap on ap.id=p.id),
register as materialized (
  select s.w_id, sum(s.time) as hours, sum(%1)::numeric(10,2) as earnings
  from accounts_dep.smena s where s.data<:next and s.data>=:first and s.w_id in (select id from workers) group by s.w_id),
works as materialized (
  select f.id_p, sum(f.cnt) as hours, sum(f.cnt*f.price)::numeric(10,2) as earnings
  from accounts_dep.fatigue f where f.d_date<:next and f.d_date>=:first and f.id_p in (select id from workers)
  group by f.id_p),
figures as (
  select w.*, r.earnings as piece_sum, r.hours as piece_hours, f.earnings as works_sum, f.hours as works_hours
  from workers w left join register r on r.w_id=w.id left join works f on f.id_p=w.id),
lines as (
  select s.w_id, 1 as section, s.data as day, s.smena::integer as shift, s.id as line_id,
         i.marka as product, o_kind.vid as work, s.color, s.kol_vo as quantity, s.brak as rejects, s.time as hours,
         s.cena::numeric as price, %1 as amount
  from accounts_dep.smena s
  left join accounts_dep.izdel i on i.id=s.i_id
  left join accounts_dep.oper o on o.id=s.o_id
  left join accounts_dep.vid_oper o_kind on o_kind.id=o.vid
  where s.data<:next and s.data>=:first and s.w_id in (select id from workers)
  union all
  select f.id_p::integer, 2, f.d_date, f.i_night, f.id::integer,
         coalesce(trim(f_kind.vid), 'Вид ' || f.id_o),
         case when f.i_night=1 then 'ночь' else 'день' end || case when f.i_holiday=1 then ', выходной' else '' end,
         null, null, null, f.cnt, f.price::numeric, (f.cnt*f.price)::numeric
  from accounts_dep.fatigue f left join accounts_dep.vid_oper f_kind on f_kind.id=f.id_o
  where f.d_date<:next and f.d_date>=:first and f.id_p in (select id from workers))
select w.place, w.id as w_id, w.fio, w.department, coalesce(l.section, 0) as section, l.day, l.shift,
       l.product, l.work, l.color, l.quantity, l.rejects, l.hours, l.price, l.amount,
       w.piece_sum, w.piece_hours, w.works_sum, w.works_hours,
       coalesce(w.piece_sum, 0) + coalesce(w.works_sum, 0) as total_sum,
       coalesce(w.piece_hours, 0) + coalesce(w.works_hours, 0) as total_hours
from figures w left join lines l on l.w_id=w.id
order by w.place, l.section, l.day, l.shift, l.line_id)")
                                .arg(TimesheetStore::entryEarnings());

constexpr double kDetailPoints = 8;
const QString kMoney = QStringLiteral("#0.00");

bool isSection(const Dataset& d, int section) { return d.field(QStringLiteral("section")).asInteger() == section; }
bool isSection(const Context& c, int section) { return c.field(QStringLiteral("section")).asInteger() == section; }

// A price as stored, with two decimals at least and no further trailing zeros: 12,5 prints 12,50,
// 200.0000 prints 200,00, 1,2345 prints 1,2345.
QString priceText(const QVariant& price)
{
    if (price.isNull())
        return {};
    QString text = price.toString();
    qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0) {
        point = text.size();
        text += QLatin1Char('.');
    }
    while (text.size() > point + 3 && text.endsWith(QLatin1Char('0')))
        text.chop(1);
    while (text.size() < point + 3)
        text += QLatin1Char('0');
    return text.replace(point, 1, QLatin1Char(','));
}

QString colourText(const FieldValue& colour)
{
    if (colour.isNull() || colour.asInteger() <= 0)
        return {};
    return colour.asInteger() == 1 ? QStringLiteral("грунт") : QStringLiteral("RAL %1").arg(colour.asInteger());
}

RowFn fieldOf(const QString& name)
{
    return [name](const Dataset& d) { return d.field(name).value(); };
}

// The lines' columns: left edge and width in mm, the register's and the works' titles, the value
// of a line, its alignment and mask; a name or an operation longer than its column ends in "…".
struct Column {
    double left;
    double width;
    QString entries;
    QString works;
    RowFn value;
    Align align = Align::Center;
    QString mask{};
    bool elide = false;
};
enum { kOperationColumn = 3, kHoursColumn = 7, kAmountColumn = 9 };
const QVector<Column>& columns()
{
    static const QVector<Column> list{
        {0, 17, QStringLiteral("Дата"), QStringLiteral("Дата"),
         [](const Dataset& d) {
             const FieldValue day = d.field(QStringLiteral("day"));
             return day.isNull() ? QString() : day.asDate().toString(QStringLiteral("dd.MM.yyyy"));
         }},
        {17, 10, QStringLiteral("Смена"), {},
         [](const Dataset& d) { return isSection(d, 1) ? d.field(QStringLiteral("shift")).asString() : QString(); }},
        {27, 42, QStringLiteral("Изделие"), QStringLiteral("Вид работ"), fieldOf(QStringLiteral("product")), Align::Left,
         {}, true},
        {69, 35, QStringLiteral("Операция"), QStringLiteral("Время"), fieldOf(QStringLiteral("work")), Align::Left, {},
         true},
        {104, 16, QStringLiteral("Цвет"), {}, [](const Dataset& d) { return colourText(d.field(QStringLiteral("color"))); }},
        {120, 14, QStringLiteral("Кол-во"), {}, fieldOf(QStringLiteral("quantity"))},
        {134, 11, QStringLiteral("Брак"), {}, fieldOf(QStringLiteral("rejects"))},
        {145, 11, QStringLiteral("Часы"), QStringLiteral("Часы"), fieldOf(QStringLiteral("hours"))},
        {156, 15, QStringLiteral("Цена"), QStringLiteral("Цена за час"),
         [](const Dataset& d) { return priceText(d.field(QStringLiteral("price")).value()); }, Align::Right},
        {171, 19, QStringLiteral("Сумма"), QStringLiteral("Сумма"), fieldOf(QStringLiteral("amount")), Align::Right, kMoney},
    };
    return list;
}

void buildLayout(BandReport& r, TimesheetMonth month)
{
    const QString monthText = month.heading();

    Band& title = r.title().bold();
    title.text(0, 190, QStringLiteral("Расчетный листок")).center().size(14);
    title.value(0, 190, [](const Context& c) { return c.field(QStringLiteral("fio")).asString().trimmed(); })
        .top(8).size(12);
    title.value(0, 130, [](const Context& c) {
        return QStringLiteral("Подразделение: ") + c.field(QStringLiteral("department")).asString().trimmed();
    }).top(14).bold(false).elide();
    title.text(130, 60, QStringLiteral("Месяц: ") + monthText).top(14).bold(false).right();
    title.height(22);

    // The register's and the works' lines, each under its own titles.
    Group& section = r.addGroup(QStringLiteral("section"));
    Band& heading = section.header().bold().size(kDetailPoints).frame(TopEdge | BottomEdge);
    for (const Column& c : columns())
        heading.value(c.left, c.width, [c](const Context& ctx) {
            return isSection(ctx, 1) ? c.entries : isSection(ctx, 2) ? c.works : QString();
        }).center().top(5).shrink();
    heading.value(0, 190, [](const Context& ctx) {
        return isSection(ctx, 1) ? QStringLiteral("Сдельные работы")
               : isSection(ctx, 2) ? QStringLiteral("Хозяйственные и средне-сдельные работы")
                                   : QStringLiteral("За месяц нет ни записей, ни работ.");
    }).top(0).height(4.5).size(9);
    heading.height(10);

    Band& line = r.detail().size(kDetailPoints);
    for (const Column& c : columns()) {
        Item& item = line.expr(c.left, c.width, c.value, c.mask).align(c.align);
        if (c.elide)
            item.elide();
    }

    // The section's figures: the sums the timesheets show.
    const Column& label = columns()[kOperationColumn];
    const Column& hours = columns()[kHoursColumn];
    const Column& amount = columns()[kAmountColumn];
    const double labelWidth = hours.left - label.left;
    Band& subtotal = section.footer().bold().size(kDetailPoints).frame(TopEdge);
    subtotal.value(label.left, labelWidth, [](const Context& c) {
        return isSection(c, 1) ? QStringLiteral("Итого сдельные работы:")
               : isSection(c, 2) ? QStringLiteral("Итого хоз. и ср. сд. работы:") : QString();
    }).right();
    subtotal.value(hours.left, hours.width, [](const Context& c) {
        return c.field(isSection(c, 1) ? QStringLiteral("piece_hours") : QStringLiteral("works_hours")).value();
    }).center();
    subtotal.value(amount.left, amount.width, [](const Context& c) {
        if (!isSection(c, 1) && !isSection(c, 2))
            return QVariant();
        return c.field(isSection(c, 1) ? QStringLiteral("piece_sum") : QStringLiteral("works_sum")).value();
    }, kMoney).right();
    subtotal.height(6);

    Band& total = r.summary().bold().frame(TopEdge | BottomEdge).background(QColor(0xEF, 0xEF, 0xEF));
    total.text(label.left, labelWidth, QStringLiteral("Всего за месяц:")).right();
    total.value(hours.left, hours.width, [](const Context& c) { return c.field(QStringLiteral("total_hours")).value(); })
        .center();
    total.value(amount.left, amount.width, [](const Context& c) { return c.field(QStringLiteral("total_sum")).value(); },
                kMoney)
        .right();
    Band& signatures = total.child().height(24);
    signatures.text(0, 90, QStringLiteral("Мастер ____________________")).top(14);
    signatures.text(100, 90, QStringLiteral("Работник ____________________")).top(14).right();
    signatures.value(100, 90, [](const Context& c) { return c.field(QStringLiteral("fio")).asString().trimmed(); })
        .top(19).size(8).right();

    r.pageFooter().value(100, 90, [](const Context& c) {
        return QStringLiteral("Лист %1 из %2").arg(c.page()).arg(c.pageCount());
    }).right().size(8);
}

} // namespace

PayStatements::PayStatements(Database& db, QDate month, std::optional<int> workerId)
    : month_(TimesheetMonth::of(month)), lines_(db, QStringLiteral("pay_statement"))
{
    QSqlQuery q = db.exec(kStatement,
                          {{QStringLiteral("first"), month_.first()},
                           {QStringLiteral("next"), month_.next()},
                           {QStringLiteral("month"), month_.month},
                           {QStringLiteral("year"), month_.year},
                           {QStringLiteral("worker"), workerId.value_or(0)}},
                          QSql::HighPrecision);
    const QSqlRecord record = q.record();
    for (int i = 0; i < record.count(); ++i)
        fields_ << record.fieldName(i);
    QVariant place;
    while (q.next()) {
        QVector<QVariant> row(record.count());
        for (int i = 0; i < record.count(); ++i)
            row[i] = q.value(i);
        if (row[0] != place) {
            workers_.push_back({int(rows_.size()), 0});
            place = row[0];
        }
        ++workers_.last().count;
        rows_.push_back(std::move(row));
    }
}

PayStatements::~PayStatements() = default;

BandReport& PayStatements::statementOf(int index)
{
    const Worker& w = workers_.at(index);
    lines_.openWith(fields_, rows_.mid(w.first, w.count));
    if (!report_) {
        report_ = std::make_unique<BandReport>(&lines_);
        buildLayout(*report_, month_);
    }
    // The preview's caption, and the name it offers for a PDF.
    report_->setCaption(QStringLiteral("Расчетный листок %1 %2")
                            .arg(lines_.field(QStringLiteral("fio")).asString().trimmed(),
                                 month_.first().toString(QStringLiteral("MM.yyyy"))));
    report_->prepare();
    return *report_;
}

Outcome writePayStatements(Database& db, QDate month, std::optional<int> workerId, const QString& path,
                           const std::function<bool(int done, int total)>& progress)
{
    PayStatements statements(db, month, workerId);
    const int total = statements.workerCount();
    if (total == 0)
        return Outcome::refused(workerId ? QStringLiteral("Работник не найден.")
                                         : QStringLiteral("В табеле месяца нет ни одного работника."));
    const QString target = withPdfSuffix(path);
    bool cancelled = false;
    const bool written = writeWhole(target, [&](const QString& part) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(part);
        QPainter painter;
        bool firstPage = true;
        // The workers' statements share their dates, products, operations and figures: each
        // laid out once for the whole file.
        TextRuns runs(&printer);
        for (int i = 0; i < total; ++i) {
            BandReport& report = statements.statementOf(i);
            if (i == 0) {
                report.setupPrinter(&printer);
                if (!painter.begin(&printer))
                    return false;
            }
            report.paintInto(painter, &printer, firstPage, &runs);
            report.releasePages();
            if (progress && !progress(i + 1, total)) {
                cancelled = true;
                painter.end();
                return false;
            }
        }
        return painter.end();
    });
    if (cancelled)
        return Outcome::refused(QStringLiteral("Запись листков отменена."));
    if (!written)
        return Outcome::refused(QStringLiteral("Не удалось записать файл %1.").arg(QDir::toNativeSeparators(target)));
    return Outcome::done();
}

QString payStatementsFileName(const QString& folder, QDate month)
{
    const QString base = folder + QStringLiteral("/Расчетные листки ") + month.toString(QStringLiteral("MM.yyyy"));
    QString name = base + QStringLiteral(".pdf");
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + QStringLiteral(" (%1).pdf").arg(n);
    return name;
}
