#include "entry_input.h"

std::optional<EntryFault> readEntryTexts(const EntryTexts& t, EntryValues& values)
{
    const QString incomplete = QStringLiteral("Все поля должны быть заполнены!");
    auto blank = [](const QString& text) { return text.trimmed().isEmpty(); };
    if (!t.workerChosen)
        return EntryFault{EntryField::Worker, incomplete};
    if (!t.operationChosen)
        return EntryFault{EntryField::Operation, incomplete};
    if (blank(t.quantity))
        return EntryFault{EntryField::Quantity, incomplete};
    if (blank(t.rejects))
        return EntryFault{EntryField::Rejects, incomplete};
    if (t.colourAsked && blank(t.colour))
        return EntryFault{EntryField::Colour, incomplete};
    if (blank(t.hours))
        return EntryFault{EntryField::Hours, incomplete};
    struct Number {
        const QString& text;
        const char* title;
        EntryField field;
        int* target;
    };
    const Number numbers[] = {{t.quantity, "Кол-во", EntryField::Quantity, &values.quantity},
                              {t.rejects, "Брак", EntryField::Rejects, &values.rejects},
                              {t.hours, "Время", EntryField::Hours, &values.hours},
                              {t.colour, "Цвет", EntryField::Colour, &values.colour}};
    for (const Number& n : numbers) {
        *n.target = 0;
        if (blank(n.text))
            continue;
        bool ok = false;
        *n.target = n.text.trimmed().toInt(&ok);
        if (!ok)
            return EntryFault{n.field,
                              QStringLiteral("Число в поле \"%1\" слишком велико.").arg(QString::fromUtf8(n.title))};
    }
    return entryFault(values);
}

QLineEdit* EntryEdits::at(EntryField field) const
{
    switch (field) {
    case EntryField::Worker:
        return worker;
    case EntryField::Operation:
    case EntryField::Price:
        return operation;
    case EntryField::Quantity:
        return quantity;
    case EntryField::Rejects:
        return rejects;
    case EntryField::Hours:
        return hours;
    case EntryField::Colour:
        return colour;
    default:
        return nullptr;
    }
}
