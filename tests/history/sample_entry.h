#pragma once
// A register entry of the history tests: 8 hours at a price of 8.
#include "entry_store.h"

inline EntryValues sampleEntry(int worker, int operation, int product, const QDate& date, int quantity)
{
    EntryValues v;
    v.workerId = worker;
    v.operationId = operation;
    v.productId = product;
    v.price = *Decimal4::fromText("8");
    v.quantity = quantity;
    v.hours = 8;
    v.date = date;
    return v;
}
