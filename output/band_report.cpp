#include "band_report.h"

#include "excel_book.h"
#include "mask_format.h"
#include "messages.h"
#include "text_runs.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>
#include <QtDebug>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

namespace report {

namespace {

constexpr double kMargin = 10;        // mm on every side
constexpr double kLineFactor = 1.25;  // line height over the font size
constexpr double kPointMm = 25.4 / 72;
constexpr double kLineWidth = 0.2;    // frame lines, mm

BandReport::PreviewHook& previewHook()
{
    static BandReport::PreviewHook hook;
    return hook;
}

bool isNumeric(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Double: case QMetaType::Float: case QMetaType::Short: case QMetaType::UShort:
    case QMetaType::Long: case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

bool isExact(const QVariant& v)
{
    return v.metaType() == QMetaType::fromType<Decimal4>() || v.metaType() == QMetaType::fromType<Quotient>();
}

// True for what prints as a number: numbers, exact values and numeric text.
bool printsAsNumber(const QVariant& v)
{
    if (isNumeric(v) || isExact(v))
        return true;
    if (v.typeId() != QMetaType::QString)
        return false;
    const QString text = v.toString();
    if (DecimalText::split(text, false))  // the usual numeric text, read without a copy
        return true;
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok;
}

// The quotient as a decimal text cut (not rounded) after `places` decimals. Rounding that text
// half away from zero to fewer places gives the same digits as rounding the true value.
QString quotientText(const Quotient& q, int places)
{
    using Wide = unsigned __int128;
    const qint64 a = q.dividend.units(), b = q.divisor.units();
    const Wide n = Wide(a < 0 ? -Wide(a) : Wide(a)), d = Wide(b < 0 ? -Wide(b) : Wide(b));
    Wide whole = n / d, rest = n % d;
    std::string digits;
    do {
        digits.insert(digits.begin(), char('0' + int(whole % 10)));
        whole /= 10;
    } while (whole > 0);
    digits += '.';
    for (int i = 0; i < places; ++i) {
        rest *= 10;
        digits += char('0' + int(rest / d));
        rest %= d;
    }
    const bool negative = (a < 0) != (b < 0) && a != 0;
    return QString::fromLatin1((negative ? "-" : "") + digits);
}

// Text widths in mm at a printer's resolution, where screen hinting does not distort them.
constexpr double kMeasureDpi = 1200;

const QPaintDevice* measuringDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(int(kMeasureDpi / 0.0254));
        image.setDotsPerMeterY(int(kMeasureDpi / 0.0254));
        return image;
    }();
    return &device;
}

// The characters a formatted number is made of (a masked sum: "-12 345,50").
const QString kNumberChars = QStringLiteral("0123456789.,-+ ");
bool isNumberChar(QChar c) { return kNumberChars.contains(c); }

double textWidthMm(const QFontMetricsF& metrics, const QString& text)
{
    return metrics.horizontalAdvance(text) * 25.4 / kMeasureDpi;
}

// The longest start of `text` (ended with "…" when eliding) that fits `width` mm.
QString cutToWidth(const QFontMetricsF& metrics, const QString& text, double width, bool elide)
{
    if (elide)
        return metrics.elidedText(text, Qt::ElideRight, width * kMeasureDpi / 25.4);
    qsizetype fits = 0, tooLong = text.size() + 1;
    while (tooLong - fits > 1) {
        const qsizetype mid = (fits + tooLong) / 2;
        (textWidthMm(metrics, text.left(mid)) <= width ? fits : tooLong) = mid;
    }
    return text.left(fits).trimmed();
}

bool sameKey(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a == b;
}

double lineHeight(const QFont& font) { return font.pointSizeF() * kPointMm * kLineFactor; }

double itemHeight(const QFont& font, double explicitHeight)
{
    return explicitHeight > 0 ? explicitHeight : lineHeight(font);
}

Qt::Alignment qtAlign(Align a)
{
    switch (a) {
    case Align::Center: return Qt::AlignHCenter;
    case Align::Right: return Qt::AlignRight;
    case Align::Left: break;
    }
    return Qt::AlignLeft;
}

void drawEdges(QPainter& painter, const QRectF& r, int edges)
{
    if (edges & TopEdge)
        painter.drawLine(r.topLeft(), r.topRight());
    if (edges & BottomEdge)
        painter.drawLine(r.bottomLeft(), r.bottomRight());
    if (edges & LeftEdge)
        painter.drawLine(r.topLeft(), r.bottomLeft());
    if (edges & RightEdge)
        painter.drawLine(r.topRight(), r.bottomRight());
}

} // namespace

QVariant exactValue(Decimal4 value) { return QVariant::fromValue(value); }

QVariant quotient(Decimal4 dividend, Decimal4 divisor) { return QVariant::fromValue(Quotient{dividend, divisor}); }

Decimal4 decimalOf(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return {};
    if (value.metaType() == QMetaType::fromType<Decimal4>())
        return value.value<Decimal4>();
    if (value.metaType() == QMetaType::fromType<Quotient>()) {
        const Quotient q = value.value<Quotient>();
        return q.divisor.units() == 0 ? Decimal4() : q.dividend.scaled(10000, q.divisor.units()).value_or(Decimal4());
    }
    switch (value.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
        return Decimal4::fromUnits(value.toLongLong() * 10000);
    case QMetaType::Double: case QMetaType::Float:
        return Decimal4::fromDouble(value.toDouble()).value_or(Decimal4());
    default:
        return Decimal4::fromText(value.toString()).value_or(Decimal4());
    }
}

// ---------------------------------------------------------------- context

FieldValue Context::field(const QString& name) const
{
    return data_ ? data_->field(name) : FieldValue(QVariant());
}

Decimal4 Context::sum(const QString& name) const
{
    for (const auto& s : report_.sums_)
        if (s.name == name)
            return s.value;
    qWarning("Report: no running sum named %s", qPrintable(name));
    return {};
}

// ---------------------------------------------------------------- bands

Band& Band::child()
{
    if (!child_) {
        child_.reset(new Band(report_, Kind::Child));
        child_->resetsSums_ = resetsSums_;
    }
    return *child_;
}

Item& Band::add(Item item)
{
    items_.push_back(std::move(item));
    report_.prepared_ = false;
    return items_.back();
}

Item& Band::text(double left, double width, const QString& text)
{
    Item item(Item::Kind::Text, left, width);
    item.text_ = text;
    return add(std::move(item));
}

Item& Band::field(double left, double width, const QString& field, const QString& mask)
{
    Item item(Item::Kind::Field, left, width);
    item.text_ = field;
    item.mask_ = mask;
    return add(std::move(item));
}

Item& Band::expr(double left, double width, RowFn fn, const QString& mask)
{
    Item item(Item::Kind::Row, left, width);
    item.row_ = std::move(fn);
    item.mask_ = mask;
    return add(std::move(item));
}

Item& Band::value(double left, double width, ValueFn fn, const QString& mask)
{
    Item item(Item::Kind::Value, left, width);
    item.value_ = std::move(fn);
    item.mask_ = mask;
    return add(std::move(item));
}

Item& Band::sum(double left, double width, RowFn fn, const QString& mask)
{
    Item item(Item::Kind::Sum, left, width);
    item.sum_ = report_.registerSum({}, std::move(fn));
    sums_.push_back(item.sum_);
    item.mask_ = mask;
    return add(std::move(item));
}

Item& Band::sum(double left, double width, const QString& field, const QString& mask)
{
    return sum(left, width, [field](const Dataset& d) { return d.field(field).value(); }, mask);
}

Item& Band::pageNumber(double left, double width)
{
    return value(left, width, [](const Context& c) { return c.page(); });
}

void Band::addSum(const QString& name, RowFn fn) { sums_.push_back(report_.registerSum(name, std::move(fn))); }

Band& Group::header()
{
    if (!header_)
        header_.reset(new Band(report_, Band::Kind::GroupHeader));
    return *header_;
}

Band& Group::footer()
{
    if (!footer_) {
        footer_.reset(new Band(report_, Band::Kind::GroupFooter));
        footer_->resetsSums_ = true;
    }
    return *footer_;
}

QString Page::text() const
{
    QStringList lines;
    for (const auto& band : bands) {
        QStringList texts;
        for (const auto& item : band.items)
            if (!item.text.isEmpty())
                texts << item.text;
        lines << texts.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

// ---------------------------------------------------------------- report

BandReport::BandReport(Dataset* data) : data_(data) {}
BandReport::~BandReport() = default;

Band& BandReport::slot(std::unique_ptr<Band>& band, Band::Kind kind)
{
    if (!band)
        band.reset(new Band(*this, kind));
    return *band;
}

Band& BandReport::title() { return slot(title_, Band::Kind::Title); }
Band& BandReport::pageHeader() { return slot(pageHeader_, Band::Kind::PageHeader); }
Band& BandReport::detail() { return slot(detail_, Band::Kind::Detail); }
Band& BandReport::summary() { return slot(summary_, Band::Kind::Summary); }
Band& BandReport::pageFooter() { return slot(pageFooter_, Band::Kind::PageFooter); }

std::vector<Band*> BandReport::allBands() const
{
    std::vector<Band*> out;
    auto add = [&](Band* band) {
        for (; band; band = band->child_.get())
            out.push_back(band);
    };
    add(title_.get());
    add(pageHeader_.get());
    add(detail_.get());
    add(summary_.get());
    add(pageFooter_.get());
    for (const auto& g : groups_) {
        add(g.header_.get());
        add(g.footer_.get());
    }
    return out;
}

Group& BandReport::addGroup(const QString& field)
{
    groups_.push_back(Group(*this, field, {}));
    prepared_ = false;
    return groups_.back();
}

Group& BandReport::addGroup(RowFn key)
{
    groups_.push_back(Group(*this, {}, std::move(key)));
    prepared_ = false;
    return groups_.back();
}

int BandReport::registerSum(const QString& name, RowFn fn)
{
    sums_.push_back({name.isEmpty() ? QStringLiteral("#%1").arg(sums_.size()) : name, std::move(fn), {}});
    prepared_ = false;
    return int(sums_.size()) - 1;
}

void BandReport::setText(const QString& name, const QString& text)
{
    for (Band* band : allBands())
        for (auto& item : band->items_)
            if (item.name_ == name && item.kind_ == Item::Kind::Text)
                item.text_ = text;
    prepared_ = false;
}

QString BandReport::text(const QString& name) const
{
    for (const Band* band : allBands())
        for (const auto& item : band->items_)
            if (item.name_ == name && item.kind_ == Item::Kind::Text)
                return item.text_;
    return {};
}

QSizeF BandReport::printableSize() const
{
    const QSizeF a4(210 - 2 * kMargin, 297 - 2 * kMargin);
    return orientation_ == QPageLayout::Portrait ? a4 : a4.transposed();
}

void BandReport::resolveFonts()
{
    for (Band* b : allBands()) {
        for (auto& item : b->items_) {
            QFont font(!item.family_.isEmpty() ? item.family_ : !b->family_.isEmpty() ? b->family_ : family_);
            font.setPointSizeF(item.size_ > 0 ? item.size_ : b->size_ > 0 ? b->size_ : size_);
            font.setBold(item.bold_ >= 0 ? item.bold_ == 1 : b->bold_ == 1);
            item.resolved_ = font;
            item.metrics_ = std::make_shared<QFontMetricsF>(font, measuringDevice());
            item.fitted_.clear();
            item.numberCharWidth_ = 0;
            for (QChar c : kNumberChars)
                item.numberCharWidth_ = std::max(item.numberCharWidth_, item.metrics_->horizontalAdvance(c));
            item.numberCharWidth_ *= 25.4 / kMeasureDpi;
        }
    }
}

double BandReport::bandHeight(const Band& band)
{
    if (band.height_ > 0)
        return band.height_;
    double h = 0;
    for (const auto& item : band.items_)
        h = std::max(h, item.top_ + itemHeight(item.resolved_, item.height_));
    return h;
}

double BandReport::chainHeight(const Band* band)
{
    double h = 0;
    for (; band; band = band->child_.get())
        h += bandHeight(*band);
    return h;
}

QVariant BandReport::evaluate(const Item& item, const Context& ctx) const
{
    switch (item.kind_) {
    case Item::Kind::Text:
        return item.text_;
    case Item::Kind::Field:
        return ctx.field(item.text_).value();
    case Item::Kind::Row:
        return data_ ? item.row_(*data_) : QVariant();
    case Item::Kind::Value:
        return item.value_(ctx);
    case Item::Kind::Sum:
        return exactValue(sums_[item.sum_].value);
    }
    return {};
}

void BandReport::fit(const Item& item, bool number, PlacedItem& placed)
{
    if (item.width_ <= 0 || placed.text.isEmpty())
        return;
    // Cannot be too wide: a number, even with its widest characters, or any text in the widest
    // character of the font.
    const bool numberChars = std::all_of(placed.text.cbegin(), placed.text.cend(), isNumberChar);
    const double widest = numberChars ? item.numberCharWidth_ : item.metrics_->maxWidth() * 25.4 / kMeasureDpi;
    if (placed.text.size() * widest <= item.width_)
        return;
    if (numberChars) {  // numbers differ from line to line: not worth remembering
        fitMeasured(item, number, placed);
        return;
    }
    // A report repeats its texts (kinds, colours, names) line after line: each is measured once.
    constexpr qsizetype kRemembered = 4096;
    if (const auto it = item.fitted_.constFind(placed.text); it != item.fitted_.cend() && it->number == number) {
        placed.text = it->text;
        if (it->points != placed.font.pointSizeF())
            placed.font.setPointSizeF(it->points);
        return;
    }
    const QString written = placed.text;
    fitMeasured(item, number, placed);
    if (item.fitted_.size() < kRemembered)
        item.fitted_.insert(written, {placed.text, placed.font.pointSizeF(), number});
}

void BandReport::fitMeasured(const Item& item, bool number, PlacedItem& placed)
{
    const QFontMetricsF& metrics = *item.metrics_;
    const double width = textWidthMm(metrics, placed.text);
    if (width <= item.width_ + 1e-6)
        return;
    Overflow how = item.overflow_;
    if (how == Overflow::Auto)
        how = number ? Overflow::Shrink : Overflow::Clip;
    if (how == Overflow::Shrink) {
        // Down to 4 pt; a number that is still too wide is printed whole all the same, since a
        // cut number would read as another number.
        constexpr double kSmallest = 4;
        double points = std::floor(placed.font.pointSizeF() * item.width_ / width * 10) / 10;
        for (;; points -= 0.1) {
            placed.font.setPointSizeF(std::max(points, kSmallest));
            const QFontMetricsF smaller(placed.font, measuringDevice());
            if (points <= kSmallest || textWidthMm(smaller, placed.text) <= item.width_ + 1e-6) {
                if (!number)
                    placed.text = cutToWidth(smaller, placed.text, item.width_ + 1e-6, false);
                return;
            }
        }
    }
    placed.text = cutToWidth(metrics, placed.text, item.width_ + 1e-6, how == Overflow::Elide);
}

PlacedBand BandReport::placeBand(const Band& band, double y, const Context& ctx) const
{
    PlacedBand placed;
    placed.kind = band.kind_;
    placed.rect = QRectF(0, y, printableSize().width(), bandHeight(band));
    placed.background = band.background_;
    placed.frame = band.frame_;
    placed.items.reserve(band.items_.size());
    for (const auto& item : band.items_) {
        // Made with its font: a default font first would ask the application for its font (under
        // a lock) for every item of every line.
        const QVariant value = evaluate(item, ctx);
        PlacedItem p{QRectF(item.left_, y + item.top_, item.width_, itemHeight(item.resolved_, item.height_)),
                     item.kind_ == Item::Kind::Text ? item.text_ : format(value, item.mask_, separator_),
                     item.resolved_,
                     item.align_,
                     item.background_,
                     item.frame_};
        fit(item, item.kind_ != Item::Kind::Text && printsAsNumber(value), p);
        placed.items.push_back(std::move(p));
    }
    return placed;
}

void BandReport::prepare()
{
    resolveFonts();
    pages_.clear();
    for (auto& s : sums_)
        s.value = Decimal4();

    const QSizeF area = printableSize();
    const double headerHeight = chainHeight(pageHeader_.get());
    const double footerHeight = chainHeight(pageFooter_.get());
    const double bodyBottom = area.height() - footerHeight;
    const int groupCount = int(groups_.size());
    std::vector<bool> open(groupCount, false);
    double y = 0;
    double freshY = 0;  // where the page's own bands start; a band there is never moved on
    Dataset* ds = (data_ && data_->isActive()) ? data_ : nullptr;
    const int remembered = ds ? ds->recNo() : 0;

    // A band and its child bands; a group footer's sums start again after the last of them,
    // so that a child band still reads them.
    auto placeChain = [&](const Band* first, bool resetSums) {
        for (const Band* band = first; band; band = band->child_.get()) {
            pages_.back().bands.push_back(placeBand(*band, y, Context(*this, data_, int(pages_.size()), 0)));
            y += bandHeight(*band);
        }
        if (!resetSums)
            return;
        for (const Band* band = first; band; band = band->child_.get())
            if (band->resetsSums_)
                for (int s : band->sums_)
                    sums_[s].value = Decimal4();
    };
    auto newPage = [&] {
        pages_.emplace_back();
        y = headerHeight;
        for (int g = 0; g < groupCount; ++g)
            if (open[g] && groups_[g].repeat_ && groups_[g].header_)
                placeChain(groups_[g].header_.get(), false);
        freshY = y;
    };
    auto fits = [&](double height) { return y + height <= bodyBottom + 1e-6 || y <= freshY + 1e-6; };
    auto place = [&](const Band* band) {
        if (!band)
            return;
        if (!fits(chainHeight(band)))
            newPage();
        placeChain(band, true);
    };

    newPage();
    place(title_.get());
    const int n = ds ? ds->recordCount() : 0;
    if (n == 0) {
        for (int g = 0; g < groupCount; ++g)
            if (!groups_[g].keyed()) {
                place(groups_[g].header_.get());
                open[g] = true;
            }
        for (int g = groupCount - 1; g >= 0; --g)
            if (!groups_[g].keyed()) {
                place(groups_[g].footer_.get());
                open[g] = false;
            }
    } else {
        std::vector<std::vector<QVariant>> keys(groupCount);
        for (int i = 0; i < n; ++i) {
            ds->setRecNo(i + 1);
            for (int g = 0; g < groupCount; ++g) {
                const Group& group = groups_[g];
                if (group.key_)
                    keys[g].push_back(group.key_(*ds));
                else if (!group.field_.isEmpty())
                    keys[g].push_back(ds->field(group.field_).value());
            }
        }
        // The outermost group whose key differs between records i - 1 and i.
        auto breakLevel = [&](int i) {
            for (int g = 0; g < groupCount; ++g)
                if (groups_[g].keyed() && !sameKey(keys[g][i], keys[g][i - 1]))
                    return g;
            return groupCount;
        };
        for (int i = 0; i < n; ++i) {
            ds->setRecNo(i + 1);
            const int from = i == 0 ? 0 : breakLevel(i);
            double together = chainHeight(detail_.get());
            for (int g = from; g < groupCount; ++g)
                together += chainHeight(groups_[g].header_.get());
            if (!fits(together))
                newPage();
            for (int g = from; g < groupCount; ++g) {
                place(groups_[g].header_.get());
                open[g] = true;
            }
            for (auto& s : sums_)
                if (s.fn)
                    s.value += decimalOf(s.fn(*ds));
            place(detail_.get());
            const int to = i == n - 1 ? 0 : breakLevel(i + 1);
            for (int g = groupCount - 1; g >= to; --g) {
                place(groups_[g].footer_.get());
                open[g] = false;
            }
        }
    }
    place(summary_.get());

    // Page header and footer, now that the page count is known.
    const int pageTotal = int(pages_.size());
    for (int p = 0; p < pageTotal; ++p) {
        const Context ctx(*this, data_, p + 1, pageTotal);
        std::vector<PlacedBand> top;
        double hy = 0;
        for (const Band* b = pageHeader_.get(); b; b = b->child_.get()) {
            top.push_back(placeBand(*b, hy, ctx));
            hy += bandHeight(*b);
        }
        auto& bands = pages_[p].bands;
        bands.insert(bands.begin(), top.begin(), top.end());
        double fy = bodyBottom;
        for (const Band* b = pageFooter_.get(); b; b = b->child_.get()) {
            bands.push_back(placeBand(*b, fy, ctx));
            fy += bandHeight(*b);
        }
    }
    if (ds && remembered > 0)
        ds->setRecNo(remembered);
    prepared_ = true;
}

void BandReport::releasePages()
{
    std::vector<Page>().swap(pages_);
    prepared_ = false;
}

void BandReport::setupPrinter(QPrinter* printer) const
{
    printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientation_,
                                       QMarginsF(kMargin, kMargin, kMargin, kMargin), QPageLayout::Millimeter));
    printer->setDocName(caption_);
}

void BandReport::render(QPrinter* printer)
{
    if (!prepared_)
        prepare();
    QPainter painter;
    if (!painter.begin(printer))
        return;
    bool firstPage = true;
    paintInto(painter, printer, firstPage);
    painter.end();
}

void BandReport::paintInto(QPainter& painter, QPrinter* printer, bool& firstPage, TextRuns* runs)
{
    if (!prepared_)
        prepare();
    const double k = printer->resolution() / 25.4;  // device units per mm
    const auto toDevice = [k](const QRectF& r) { return QRectF(r.x() * k, r.y() * k, r.width() * k, r.height() * k); };
    QPen pen(Qt::black);
    pen.setWidthF(kLineWidth * k);
    // Into a PDF (a printer of the system's print service writes one too) the texts go as glyph
    // runs laid out once each; the preview's pages get drawText, as ever.
    std::optional<TextRuns> own;
    if (!runs && painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Pdf)
        runs = &own.emplace(painter.device());
    for (const Page& page : pages_) {
        if (!firstPage)
            printer->newPage();
        firstPage = false;
        for (const auto& band : page.bands) {
            const QRectF br = toDevice(band.rect);
            if (band.background.isValid())
                painter.fillRect(br, band.background);
            painter.setPen(pen);
            drawEdges(painter, br, band.frame);
            for (const auto& item : band.items) {
                const QRectF r = toDevice(item.rect);
                if (item.background.isValid())
                    painter.fillRect(r, item.background);
                painter.setPen(pen);
                drawEdges(painter, r, item.frame);
                if (item.text.isEmpty())
                    continue;
                if (runs && TextRuns::isOneLine(item.text)) {
                    runs->draw(painter, r, qtAlign(item.align), item.font, item.text);
                    continue;
                }
                painter.setFont(item.font);
                painter.drawText(r, int(qtAlign(item.align) | Qt::AlignVCenter) | Qt::TextDontClip, item.text);
            }
        }
    }
}

bool BandReport::savePdf(const QString& path, QString* error)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    setupPrinter(&printer);
    QFile::remove(path);
    render(&printer);
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0) {
        if (error)
            *error = QStringLiteral("не удалось записать файл %1").arg(QDir::toNativeSeparators(path));
        return false;
    }
    return true;
}

bool BandReport::print(QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    setupPrinter(&printer);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    render(&printer);
    return true;
}

QPrintPreviewDialog* BandReport::makePreviewDialog(QWidget* parent)
{
    auto* dialog = new QPrintPreviewDialog(parent);
    dialog->setWindowTitle(caption_);
    setupPrinter(dialog->printer());
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog, [this](QPrinter* printer) { render(printer); });
    // Maximised; its normal size is most of the screen, for a window system that does not
    // maximise (the dialog's own default is a strip too low to show a page).
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        dialog->resize(screen->availableGeometry().size() * 0.85);
    dialog->setWindowState(dialog->windowState() | Qt::WindowMaximized);

    // The dialog's own zoom actions keep its toolbar in step with the zoom.
    const QString action = zoom_ == PreviewZoom::PageWidth ? QStringLiteral("fitWidthAction")
                                                             : QStringLiteral("fitPageAction");
    if (auto* fit = dialog->findChild<QAction*>(action))
        fit->trigger();
    else if (auto* widget = dialog->findChild<QPrintPreviewWidget*>())
        widget->setZoomMode(zoom_ == PreviewZoom::PageWidth ? QPrintPreviewWidget::FitToWidth
                                                             : QPrintPreviewWidget::FitInView);

    if (auto* toolbar = dialog->findChild<QToolBar*>()) {
        toolbar->addSeparator();
        QAction* pdf = toolbar->addAction(QStringLiteral("PDF"));
        pdf->setObjectName(QStringLiteral("savePdfAction"));
        pdf->setToolTip(QStringLiteral("Сохранить в PDF"));
        QObject::connect(pdf, &QAction::triggered, dialog, [this, dialog] {
            const QString folder = ExcelBook::exportFolder();
            QDir().mkpath(folder);
            QString name = caption_.trimmed();
            name.replace(QLatin1Char('/'), QLatin1Char('_'));
            const QString path = withPdfSuffix(QFileDialog::getSaveFileName(
                dialog, QStringLiteral("Сохранить в PDF"), folder + QLatin1Char('/') + name + QStringLiteral(".pdf"),
                QStringLiteral("PDF (*.pdf)")));
            if (path.isEmpty())
                return;
            QString error;
            if (!savePdf(path, &error))
                msg::error(error);
        });
    }
    return dialog;
}

QString withPdfSuffix(const QString& path)
{
    if (path.isEmpty() || QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0)
        return path;
    // "отчёт." gets "pdf", not a second point.
    return path + (path.endsWith(QLatin1Char('.')) ? QStringLiteral("pdf") : QStringLiteral(".pdf"));
}

void BandReport::setPreviewHook(PreviewHook hook) { previewHook() = std::move(hook); }

void BandReport::preview(QWidget* parent)
{
    if (!prepared_)
        prepare();
    if (previewHook()) {
        previewHook()(*this);
        return;
    }
    std::unique_ptr<QPrintPreviewDialog> dialog(makePreviewDialog(parent));
    dialog->exec();
}

QString BandReport::format(const QVariant& value, const QString& mask, QChar separator)
{
    if (value.isNull() || !value.isValid())
        return {};
    const auto withSeparator = [separator](QString text) {
        if (separator != QLatin1Char('.'))
            text.replace(QLatin1Char('.'), separator);
        return text;
    };
    if (value.metaType() == QMetaType::fromType<Decimal4>()) {
        const Decimal4 d = value.value<Decimal4>();
        return mask.isEmpty() ? withSeparator(d.toString()) : MaskFormat::parse(mask).applyDecimal(d.toString(4), separator);
    }
    if (value.metaType() == QMetaType::fromType<Quotient>()) {
        const Quotient q = value.value<Quotient>();
        if (q.divisor.units() == 0)
            return {};
        if (mask.isEmpty())
            return withSeparator(QString::number(double(q.dividend.units()) / double(q.divisor.units()), 'g', 15));
        return MaskFormat::parse(mask).applyDecimal(quotientText(q, 15), separator);
    }
    // A division by zero in a computed value prints nothing rather than "inf" or "nan".
    if ((value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) && !std::isfinite(value.toDouble()))
        return {};
    if (!mask.isEmpty()) {
        const MaskFormat format = MaskFormat::parse(mask);
        if (isNumeric(value))
            return format.apply(value.toDouble(), separator);
        // Numeric text (a numeric column read exactly) is rounded on its own digits.
        if (QString exact = format.applyDecimal(value.toString(), separator); !exact.isEmpty())
            return exact;
        bool ok = false;
        const double v = value.toString().trimmed().toDouble(&ok);
        if (ok)
            return format.apply(v, separator);
    }
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return withSeparator(QString::number(value.toDouble(), 'g', 15));
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    case QMetaType::QString: {
        QString text = value.toString();
        qsizetype end = text.size();
        while (end > 0 && text[end - 1] == QLatin1Char(' '))
            --end;  // char(n) padding
        text.truncate(end);
        return text;
    }
    default:
        return value.toString();
    }
}

// ---------------------------------------------------------------- run order

void runReport(BandReport& report, const ReportRun& run, QWidget* parent,
               const std::function<void(BandReport&)>& present)
{
    Dataset* ds = report.dataset();
    Q_ASSERT(ds);
    struct Closer {
        Dataset* ds;
        ~Closer() { ds->close(); }
    };
    ds->close();
    if (run.parameters)
        run.parameters(*ds);
    ds->setFilter(run.filter);
    const Closer closer{ds};
    ds->open();
    if (!run.titleItem.isEmpty())
        report.setText(run.titleItem, run.title);
    report.prepare();
    if (present)
        present(report);
    else
        report.preview(parent);
}

} // namespace report
