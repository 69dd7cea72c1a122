-- The program's own schema "tabel": the history of every change the program writes and the
-- months closed for changes. It never creates, alters or drops anything in the plant's schemas.
--
-- Apply it with psql (psql -d <database> -f db/tabel.sql) as a user that may create a schema;
-- the program itself runs no DDL. The file is idempotent and versioned: its numbered steps are
-- each applied once, in order, and recorded in tabel.schema_version, all in one transaction, so
-- running it again (or from two sessions at once) changes nothing that is already there. A later
-- version of the program adds steps at the end; the program uses history and month close only
-- when the database holds every step it was built for.
--
-- Plain SQL only (no psql meta-commands): the tests load it as one text.

begin;
set local client_min_messages = warning;

create schema if not exists tabel;

create table if not exists tabel.schema_version (
    step       integer primary key,
    applied_at timestamptz not null default now()
);
-- A second session applying the file waits here, then finds the steps done.
lock table tabel.schema_version in exclusive mode;

-- Step 1: the change history, the closed months and the check of a write against them.
do $steps$
begin
    if exists (select 1 from tabel.schema_version where step = 1) then
        return;
    end if;

    -- One row per written row: when, who (the login's role, the computer's user and name, the
    -- program's build), what (the action and the schema-qualified table), the row's key and the
    -- stored row before and after the write (null for none). A month rebuild is one row whose
    -- key names the month and whose rows are the month's rows before and after; opening a closed
    -- month keeps its reason as new_row {"reason": …}.
    create table tabel.change_log (
        id         bigint generated always as identity primary key,
        at         timestamptz not null default now(),
        login_role text not null check (login_role in ('full', 'viewer', 'foremen', 'warehouse')),
        os_user    text,
        host       text,
        build      text,
        action     text not null
                   check (action in ('add', 'change', 'delete', 'accept', 'rebuild', 'repair', 'close', 'open')),
        table_name text not null,
        row_key    jsonb,
        old_row    jsonb,
        new_row    jsonb
    );
    -- The history of one row ("История позиции"), and the changes of a period ("Журнал изменений").
    create index change_log_row on tabel.change_log (table_name, row_key, id);
    create index change_log_at on tabel.change_log (at, id);

    -- A closed month: nothing of its register entries, works and timesheet may change.
    create table tabel.closed_month (
        year      smallint not null,
        month     smallint not null check (month between 1 and 12),
        closed_at timestamptz not null,
        closed_by text not null,
        primary key (year, month)
    );

    -- Refuses a write of a row dated `day` when its month is closed (SQLSTATE TB001, the message
    -- the user reads). It takes the month's shared advisory lock (`month_lock`, the program's key
    -- of the month) before it looks, with a fresh snapshot: closing a month holds that lock
    -- exclusively until it commits, so a write either lands before the close or is refused.
    create function tabel.refuse_closed_month(day date, month_lock bigint) returns boolean
    language plpgsql volatile as $f$
    begin
        if day is null then
            return true;
        end if;
        perform pg_advisory_xact_lock_shared(month_lock);
        if exists (select 1 from tabel.closed_month c
                    where c.year = extract(year from day) and c.month = extract(month from day)) then
            raise exception using errcode = 'TB001',
                message = format('Месяц %s закрыт. Изменения запрещены.', to_char(day, 'MM.YYYY'));
        end if;
        return true;
    end
    $f$;

    insert into tabel.schema_version (step) values (1);
end
$steps$;

commit;
