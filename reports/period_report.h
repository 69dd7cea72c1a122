#pragma once
// What the four reports of the summary reports window share: the query over a period and its
// run, the report header with the title label, the page number, the backgrounds, and the
// expressions of the layouts (colour text, product kind, exact amounts, amounts without the
// 1.2 coefficient).
#include "band_report.h"
#include "dataset.h"

#include <QColor>
#include <QDate>

class QWidget;

namespace layouts {

inline const QColor kReportHeader{0xF4, 0xF4, 0xF4};
inline const QColor kGroupHeader{0xE0, 0xE0, 0xE0};
inline const QColor kReportFooter{0xDC, 0xDC, 0xDC};
inline const QColor kSumCell{0xEF, 0xEF, 0xEF};

// " (грунт)" for colour tag 1, " (RAL: 5)" for a tag above 1, a single space otherwise.
QString colourText(int color);
// The colour text of the record's `color`.
report::RowFn colourOf();
// "Готовая продукция" or "Заготовки" for the record's `naimen`.
report::RowFn productKindOf();
// A numeric field as an exact decimal, printed without trailing zeros (null stays null).
report::RowFn exact(const QString& field);
// A field of the current record as an exact decimal (0 when there is no record).
Decimal4 fieldAmount(const report::Context& c, const QString& field);
// The amount without the 1.2 coefficient ("без Р/К"), exactly.
QVariant withoutCoefficient(Decimal4 amount);
// The top of line `line` (from 0) of a band of several lines in `points`.
double lineTop(int line, double points);

} // namespace layouts

// The choices of "Вид продукции": all, finished products, blanks (the window's button ids).
enum class ProductKind { All = 0, Finished = 1, Blanks = 2 };
// The report rows of a kind of product (empty: every row).
RowFilter productKindFilter(ProductKind kind);

// A band report over a period: its query takes "data1" … "dataN", every odd one the first
// day (included), every even one the end (excluded).
class PeriodReport {
public:
    PeriodReport(Database& db, const QString& formName, const QString& name, const QString& queryName,
                 const QString& statement, int dateParameters);
    virtual ~PeriodReport();
    PeriodReport(const PeriodReport&) = delete;
    PeriodReport& operator=(const PeriodReport&) = delete;

    const QString& formName() const { return formName_; }
    // "Отчет по рабочим", as the command and the title name it.
    const QString& name() const { return name_; }
    Dataset& query() { return query_; }
    report::BandReport& layout() { return layout_; }

    void setPeriod(const QDate& from, const QDate& to);
    // "   <name> за период с dd.mm.yyyy по dd.mm.yyyy"
    QString title(const QDate& from, const QDate& to) const;
    // The run of a preview command: the period, the kind filter, open, the title, prepare,
    // preview, close.
    void run(const QDate& from, const QDate& to, const RowFilter& filter, QWidget* parent = nullptr);
    // The same run with the prepared pages handed to `present` instead of the preview (a file).
    void runInto(const QDate& from, const QDate& to, const RowFilter& filter,
                 const std::function<void(report::BandReport&)>& present);

protected:
    // The report header (a group without a field, so it prints once) with the title label
    // QRLabel1 `titleWidth` wide (in `titlePoints`, else the report's size), a 0.5 mm spacer
    // after it, and the page number at 176 mm on every page.
    report::Group& addReportGroup(double titleWidth, double titlePoints = 0);

    Dataset query_;
    report::BandReport layout_;

private:
    QString formName_;
    QString name_;
    int dateParameters_;
};
