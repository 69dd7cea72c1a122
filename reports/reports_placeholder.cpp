// Replaced by the spreadsheet writer and the report engine.
