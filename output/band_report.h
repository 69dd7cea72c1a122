#pragma once
// Band reports: a dataset printed through bands that repeat per record, per group or per
// page, holding items placed in millimetres. A report is laid out into pages (prepare),
// then previewed, printed or saved as PDF from those pages.
//
//   BandReport r(&dataset);                      // A4 portrait, 10 mm margins, Arial 10
//   r.title().text(0, 190, {}).name("title").bold();
//   Group& nom = r.addGroup("nom");              // outermost group first
//   nom.header().field(0, 100, "nom").bold();
//   r.detail().field(163, 24, "kolvo", "#0.00").center();
//   nom.footer().sum(163, 24, "kolvo", "#0.00").center();   // resets after each group
//   Group& all = r.addGroup();                   // no field: header once, footer once
//   r.pageFooter().pageNumber(176, 14);
//   runReport(r, {.parameters = ..., .titleItem = "title", .title = ...});
//
// Print order: title (first page), page header, repeated headers of the open groups (a
// new page), group headers from the outermost, detail, group footers from the innermost,
// summary; the page footer ends every page, the last one too. A band with its child bands
// is never split across pages; a group header is kept with the first record under it.
// An empty dataset prints the title, the headers and footers of the groups without a
// field, the summary and the page bands.
//
// Numbers: sums are exact decimals (four places). Numeric fields read as text (a dataset with
// QSql::HighPrecision), integers and doubles all add up exactly; an expression that returns
// exactValue() or quotient() is printed exactly too, and a mask rounds the exact value. The
// decimal separator is a comma unless the report says otherwise ("#0.00" prints 12,50).
//
// Widths: a text wider than its item is cut at the item's right edge (or elided, or set in a
// smaller font: Item::overflow); a number is set smaller rather than cut, so that it never
// reads as another number (down to 4 pt, where it is printed whole even if still too wide).
#include "dataset.h"
#include "decimal4.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <QVariant>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QFontMetricsF;
class QPainter;
class QPrinter;
class QPrintPreviewDialog;
class QWidget;
class TextRuns;

namespace report {

class BandReport;

enum class Align { Left, Center, Right };

// An exact quotient for printing (an amount without the 1.2 coefficient, a price per hour):
// a mask rounds the true value half away from zero; a zero divisor prints nothing.
struct Quotient {
    Decimal4 dividend;
    Decimal4 divisor;
};

// Values for expressions that print exactly.
QVariant exactValue(Decimal4 value);
QVariant quotient(Decimal4 dividend, Decimal4 divisor);
// The exact decimal a value stands for: integers, numeric text, exactValue(), quotient()
// (to four places) and doubles through their shortest decimal text; 0 for null, for anything
// that is no number and for a number beyond Decimal4's range (over 14 whole digits).
Decimal4 decimalOf(const QVariant& value);

// What an item does with a text wider than itself. Auto: numbers shrink, other text is cut.
enum class Overflow {
    Auto,
    Clip,    // cut after the last whole character that fits
    Elide,   // cut and ended with "…"
    Shrink,  // a smaller font (down to 4 pt), then cut (a number is never cut)
};

// Lines on the edges of an item or a band.
enum Edge : int { NoEdges = 0, TopEdge = 1, BottomEdge = 2, LeftEdge = 4, RightEdge = 8, AllEdges = 15 };

// What an item sees when it is printed.
class Context {
public:
    Context(const BandReport& report, const Dataset* data, int page, int pageCount)
        : report_(report), data_(data), page_(page), pageCount_(pageCount) {}
    // A field of the current record (the last record of a group in its footer).
    FieldValue field(const QString& name) const;
    const Dataset* data() const { return data_; }
    // A running sum declared with Band::addSum.
    Decimal4 sum(const QString& name) const;
    // 1-based; the page count is known in the page header and footer only (0 elsewhere).
    int page() const { return page_; }
    int pageCount() const { return pageCount_; }

private:
    const BandReport& report_;
    const Dataset* data_;
    int page_;
    int pageCount_;
};

// A value computed from the current record.
using RowFn = std::function<QVariant(const Dataset&)>;
// A value computed from the print context (sums, page number).
using ValueFn = std::function<QVariant(const Context&)>;

class Item {
public:
    Item& name(const QString& name) { name_ = name; return *this; }
    Item& top(double mm) { top_ = mm; return *this; }
    Item& height(double mm) { height_ = mm; return *this; }
    Item& align(Align a) { align_ = a; return *this; }
    Item& center() { return align(Align::Center); }
    Item& right() { return align(Align::Right); }
    Item& font(const QString& family) { family_ = family; return *this; }
    Item& size(double points) { size_ = points; return *this; }
    Item& bold(bool on = true) { bold_ = on ? 1 : 0; return *this; }
    Item& background(const QColor& color) { background_ = color; return *this; }
    Item& frame(int edges) { frame_ = edges; return *this; }
    Item& overflow(Overflow o) { overflow_ = o; return *this; }
    Item& elide() { return overflow(Overflow::Elide); }
    Item& shrink() { return overflow(Overflow::Shrink); }
    // A number mask: "#0", "#0.00", "#0.000", "#0.00#" (two to three decimals), "#,##0.00"
    // (thousands apart). Rounds half away from zero.
    Item& mask(const QString& mask) { mask_ = mask; return *this; }

    const QString& itemName() const { return name_; }

private:
    friend class Band;
    friend class BandReport;
    enum class Kind { Text, Field, Row, Value, Sum };
    Item(Kind kind, double left, double width) : kind_(kind), left_(left), width_(width) {}

    Kind kind_;
    double left_;
    double width_;
    double top_ = 0;
    double height_ = 0;  // 0: one line of the item's font
    QString name_;
    QString text_;       // fixed text, or the field's name
    QString mask_;
    RowFn row_;
    ValueFn value_;
    int sum_ = -1;       // the running sum it shows
    Align align_ = Align::Left;
    QString family_;
    double size_ = 0;
    int bold_ = -1;
    QColor background_;
    int frame_ = NoEdges;
    Overflow overflow_ = Overflow::Auto;
    QFont resolved_;
    std::shared_ptr<QFontMetricsF> metrics_;  // of the resolved font, for fitting texts
    double numberCharWidth_ = 0;  // mm: the widest digit, sign, separator or space of the font
    // Texts fitted into the item's width during a layout: what prints and at which size.
    struct Fitted {
        QString text;
        double points;
        bool number;
    };
    mutable QHash<QString, Fitted> fitted_;
};

class Band {
public:
    enum class Kind { Title, PageHeader, GroupHeader, Detail, GroupFooter, Summary, PageFooter, Child };

    // 0 (the default): as tall as its items.
    Band& height(double mm) { height_ = mm; return *this; }
    Band& background(const QColor& color) { background_ = color; return *this; }
    Band& frame(int edges) { frame_ = edges; return *this; }
    // Defaults for the band's items.
    Band& font(const QString& family) { family_ = family; return *this; }
    Band& size(double points) { size_ = points; return *this; }
    Band& bold(bool on = true) { bold_ = on ? 1 : 0; return *this; }
    // A band printed right after this one, on the same page.
    Band& child();

    Item& text(double left, double width, const QString& text);
    Item& field(double left, double width, const QString& field, const QString& mask = {});
    Item& expr(double left, double width, RowFn fn, const QString& mask = {});
    Item& value(double left, double width, ValueFn fn, const QString& mask = {});
    // The sum of `fn` (or of a field) over the records printed since this band last printed
    // (a group footer's sums start again once the footer and its child bands have printed).
    Item& sum(double left, double width, RowFn fn, const QString& mask = {});
    Item& sum(double left, double width, const QString& field, const QString& mask = {});
    Item& pageNumber(double left, double width);
    // A named running sum for Context::sum, readable in this band and its child bands; a group
    // footer's sums reset after the footer and its child bands printed.
    void addSum(const QString& name, RowFn fn);

    Kind kind() const { return kind_; }

private:
    friend class BandReport;
    friend class Group;
    Band(BandReport& report, Kind kind) : report_(report), kind_(kind) {}
    Item& add(Item item);

    BandReport& report_;
    Kind kind_;
    double height_ = 0;
    QColor background_;
    int frame_ = NoEdges;
    QString family_;
    double size_ = 0;
    int bold_ = -1;
    std::deque<Item> items_;
    std::vector<int> sums_;  // the running sums declared on this band
    bool resetsSums_ = false;  // a group footer's sums start again after it prints
    std::unique_ptr<Band> child_;
};

class Group {
public:
    Band& header();
    Band& footer();
    // The header prints again at the top of every page while the group runs.
    Group& repeatHeader(bool on = true) { repeat_ = on; return *this; }
    bool keyed() const { return !field_.isEmpty() || bool(key_); }

private:
    friend class BandReport;
    Group(BandReport& report, QString field, RowFn key) : report_(report), field_(std::move(field)), key_(std::move(key)) {}
    BandReport& report_;
    QString field_;
    RowFn key_;
    bool repeat_ = false;
    std::unique_ptr<Band> header_;
    std::unique_ptr<Band> footer_;
};

// Laid-out output, for rendering and for tests. Rectangles are in mm from the top-left
// corner of the printable area.
struct PlacedItem {
    QRectF rect;
    QString text;
    QFont font;
    Align align = Align::Left;
    QColor background;
    int frame = NoEdges;
};

struct PlacedBand {
    Band::Kind kind;
    QRectF rect;
    QColor background;
    int frame = NoEdges;
    std::vector<PlacedItem> items;
};

struct Page {
    std::vector<PlacedBand> bands;
    QString text() const;  // the items' texts, one band a line (for tests and logs)
};

enum class PreviewZoom { PageWidth, WholePage };

class BandReport {
public:
    explicit BandReport(Dataset* data = nullptr);
    ~BandReport();
    BandReport(const BandReport&) = delete;
    BandReport& operator=(const BandReport&) = delete;

    void setDataset(Dataset* data) { data_ = data; }
    Dataset* dataset() const { return data_; }
    void setOrientation(QPageLayout::Orientation o) { orientation_ = o; }
    QPageLayout::Orientation orientation() const { return orientation_; }
    void setPreviewZoom(PreviewZoom zoom) { zoom_ = zoom; }
    PreviewZoom previewZoom() const { return zoom_; }
    // The default font of every item (Arial 10).
    void setFont(const QString& family, double points) { family_ = family; size_ = points; }
    // The decimal separator of masked and default number texts (a comma).
    void setDecimalSeparator(QChar separator) { separator_ = separator; }
    // The preview window's caption.
    void setCaption(const QString& caption) { caption_ = caption; }
    const QString& caption() const { return caption_; }

    // The bands; each exists once asked for.
    Band& title();
    Band& pageHeader();
    // Groups nest in the order they are added (outermost first). Without a field or key
    // the group never breaks.
    Group& addGroup(const QString& field = {});
    Group& addGroup(RowFn key);
    Band& detail();
    Band& summary();
    Band& pageFooter();

    // The text of the fixed-text items named `name` (the title label).
    void setText(const QString& name, const QString& text);
    QString text(const QString& name) const;

    // Width and height of the printable area in mm (190 × 277 in portrait).
    QSizeF printableSize() const;

    // Lays the report out over all records of the dataset (open or not: closed is empty).
    void prepare();
    int pageCount() const { return int(pages_.size()); }
    const std::vector<Page>& pages() const { return pages_; }
    // Frees the laid-out pages (their memory too); the next preview lays them out again.
    void releasePages();

    // Paints the prepared pages (prepared now if not yet) with the report's page layout.
    void render(QPrinter* printer);
    // The same onto a painter already begun on `printer`, after what was painted on it before (a
    // new page first unless `firstPage`, which is cleared): several reports in one document. Into
    // a PDF, `runs` (made for the printer) keeps the texts laid out from one report to the next.
    void paintInto(QPainter& painter, QPrinter* printer, bool& firstPage, TextRuns* runs = nullptr);
    // The page size, orientation, margins and document name of the report.
    void setupPrinter(QPrinter* printer) const;
    bool savePdf(const QString& path, QString* error = nullptr);
    // Asks for a printer and prints; false when cancelled.
    bool print(QWidget* parent = nullptr);
    // The preview window: modal, maximized, zoomed as set, with printing and saving as PDF.
    // Returns when the user closes it. A hook, when set, runs instead (tests).
    void preview(QWidget* parent = nullptr);
    // The preview window, not yet shown (the caller owns it).
    QPrintPreviewDialog* makePreviewDialog(QWidget* parent = nullptr);
    using PreviewHook = std::function<void(BandReport&)>;
    static void setPreviewHook(PreviewHook hook);

    // Masked text of a value; without a mask its default text form (numbers with up to 15
    // significant digits, exact decimals without trailing zeros).
    static QString format(const QVariant& value, const QString& mask, QChar separator = QLatin1Char('.'));

private:
    friend class Band;
    friend class Group;
    friend class Context;
    struct Sum {
        QString name;
        RowFn fn;
        Decimal4 value;
    };
    struct Layout;

    int registerSum(const QString& name, RowFn fn);
    Band& slot(std::unique_ptr<Band>& band, Band::Kind kind);
    // Every band with its child bands.
    std::vector<Band*> allBands() const;
    void resolveFonts();
    QVariant evaluate(const Item& item, const Context& ctx) const;
    PlacedBand placeBand(const Band& band, double y, const Context& ctx) const;
    // Fits the placed text into the item's width as the item's overflow says.
    static void fit(const Item& item, bool number, PlacedItem& placed);
    static void fitMeasured(const Item& item, bool number, PlacedItem& placed);
    static double bandHeight(const Band& band);
    static double chainHeight(const Band* band);

    Dataset* data_;
    QPageLayout::Orientation orientation_ = QPageLayout::Portrait;
    PreviewZoom zoom_ = PreviewZoom::PageWidth;
    QString family_ = QStringLiteral("Arial");
    double size_ = 10;
    QChar separator_ = QLatin1Char(',');
    QString caption_ = QStringLiteral("Предварительный просмотр");
    std::unique_ptr<Band> title_, pageHeader_, detail_, summary_, pageFooter_;
    std::deque<Group> groups_;
    std::vector<Sum> sums_;
    std::vector<Page> pages_;
    bool prepared_ = false;
};

// The run of a report, in this order: the query's parameters and row filter, open, the
// title text, prepare, preview, close (the query is closed even when a step fails).
struct ReportRun {
    std::function<void(Dataset&)> parameters;
    RowFilter filter;       // empty: no filter
    QString titleItem;      // the named text item that takes the title
    QString title;
};
// `present`, when given, takes the prepared pages instead of the preview (a file).
void runReport(BandReport& report, const ReportRun& run, QWidget* parent = nullptr,
               const std::function<void(BandReport&)>& present = {});

// `path` ending in ".pdf" (in any letter case): the suffix added when missing; empty stays empty.
QString withPdfSuffix(const QString& path);

} // namespace report
