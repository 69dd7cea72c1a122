#pragma once
// The grid model of the timesheets: a dataset's columns with the titles of the day columns
// ("d1".."d31") in colours of their own (weekends red, days after the month's end silver).
#include "dataset_model.h"

#include <QColor>
#include <functional>
#include <optional>

// The day number of a day column's field ("d7" is 7), 0 for any other field.
inline int dayOfField(const QString& field)
{
    if (field.size() < 2 || field[0] != u'd' || !field[1].isDigit())
        return 0;
    return field.mid(1).toInt();
}

class DayColumnsModel : public DatasetModel {
public:
    // The colour of day `day`'s title; none: the usual colour.
    using TitleColour = std::function<std::optional<QColor>(int day)>;

    DayColumnsModel(Dataset& ds, QVector<GridColumn> columns, TitleColour titleColour, QObject* parent)
        : DatasetModel(ds, std::move(columns), parent), titleColour_(std::move(titleColour))
    {
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role == Qt::ForegroundRole && orientation == Qt::Horizontal && section >= 0 && section < columns().size()) {
            if (const int day = dayOfField(columns()[section].field); day > 0)
                if (const std::optional<QColor> colour = titleColour_(day))
                    return *colour;
        }
        return DatasetModel::headerData(section, orientation, role);
    }
    // The titles were recoloured (another month).
    void titlesChanged() { emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1); }

private:
    TitleColour titleColour_;
};
