#include "period_report.h"

#include "operation_text.h"

#include <QScopeGuard>

using namespace report;

namespace layouts {

QString colourText(int color)
{
    if (color == 1)
        return QStringLiteral(" (грунт)");
    if (color > 1)
        return QStringLiteral(" (RAL: %1)").arg(color);
    return QStringLiteral(" ");
}

RowFn colourOf()
{
    return [](const Dataset& d) { return QVariant(colourText(d.field(QStringLiteral("color")).asInteger())); };
}

RowFn productKindOf()
{
    return [](const Dataset& d) { return QVariant(productKindText(d.field(QStringLiteral("naimen")).asInteger())); };
}

RowFn exact(const QString& field)
{
    return [field](const Dataset& d) {
        const FieldValue v = d.field(field);
        return v.isNull() ? QVariant() : exactValue(decimalOf(v.value()));
    };
}

Decimal4 fieldAmount(const Context& c, const QString& field) { return decimalOf(c.field(field).value()); }

QVariant withoutCoefficient(Decimal4 amount) { return quotient(amount, Decimal4::fromUnits(12000)); }

double lineTop(int line, double points) { return line * points * 25.4 / 72 * 1.25; }

} // namespace layouts

PeriodReport::PeriodReport(Database& db, const QString& formName, const QString& name, const QString& queryName,
                           const QString& statement, int dateParameters)
    : query_(db, queryName, statement), layout_(&query_), formName_(formName), name_(name),
      dateParameters_(dateParameters)
{
    // Money is added up exactly: numeric columns come as their decimal text.
    query_.setNumericalPrecisionPolicy(QSql::HighPrecision);
    layout_.setCaption(name);
}

PeriodReport::~PeriodReport() = default;

void PeriodReport::setPeriod(const QDate& from, const QDate& to)
{
    for (int i = 1; i <= dateParameters_; ++i)
        query_.setParam(QStringLiteral("data%1").arg(i), i % 2 == 1 ? from : to);
}

QString PeriodReport::title(const QDate& from, const QDate& to) const
{
    const QString format = QStringLiteral("dd.MM.yyyy");
    return QStringLiteral("   %1 за период с %2 по %3").arg(name_, from.toString(format), to.toString(format));
}

RowFilter productKindFilter(ProductKind kind)
{
    switch (kind) {
    case ProductKind::Finished: return filters::equals(QStringLiteral("naimen"), 0);
    case ProductKind::Blanks: return filters::equals(QStringLiteral("naimen"), 1);
    case ProductKind::All: break;
    }
    return {};
}

void PeriodReport::run(const QDate& from, const QDate& to, const RowFilter& filter, QWidget* parent)
{
    runInto(from, to, filter, [parent](report::BandReport& layout) { layout.preview(parent); });
}

void PeriodReport::runInto(const QDate& from, const QDate& to, const RowFilter& filter,
                           const std::function<void(report::BandReport&)>& present)
{
    // Once the preview has closed its pages are not needed: a month of a large plant's worker
    // report lays out about half a gigabyte of them, which would otherwise stay until the next
    // report and be freed while the user waits for it.
    const auto release = qScopeGuard([this] { layout_.releasePages(); });
    runReport(layout_,
              {.parameters = [&](Dataset&) { setPeriod(from, to); },
               .filter = filter,
               .titleItem = QStringLiteral("QRLabel1"),
               .title = title(from, to)},
              nullptr, present);
}

Group& PeriodReport::addReportGroup(double titleWidth, double titlePoints)
{
    Group& all = layout_.addGroup();
    Band& header = all.header().background(layouts::kReportHeader).bold();
    Item& title = header.text(0, titleWidth, QString()).name(QStringLiteral("QRLabel1"));
    if (titlePoints > 0)
        title.size(titlePoints);
    all.header().child().height(0.5);
    layout_.pageFooter().pageNumber(176, 14);
    return all;
}
