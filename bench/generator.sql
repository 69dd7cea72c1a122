-- Plant-scale data for the benchmarks: a deterministic generator, run inside a database made
-- from db/schema.sql. Everything is computed from row numbers and dates through a fixed hash,
-- so two loads of one size give the same rows.
--
--   select bench.generate('plant');          -- 400 workers, 20,000 persons, two years
--   select bench.generate('large');          -- 2,000 workers, 200,000 persons, five years
--   select bench.add_days(date, date);       -- register days (and their timesheet cells) on top
--   select bench.add_month(2026, 11);        -- one month of every worker
--
-- bench.setup(size) alone makes the reference data (persons, goods, operations) without any
-- register days, for a database that needs one month only: setup, then add_month.
--
-- The history ends on bench.history_end() and reaches back the size's number of years. The
-- workers of the enterprise's persons are matched as the register's join expects: most by id,
-- every tenth only by s_code (its person has another id). Where the database has the program's
-- own schema (db/tabel.sql), every register entry gets its history row: the foreman's add, at
-- the time the entry was made.

set client_min_messages = warning;

create schema bench;

create table bench.size (
    name      text primary key,
    workers   integer not null,  -- accounts_dep.person
    persons   integer not null,  -- cmn_contractor.person, the workers among them
    goods     integer not null,  -- cmn_gds_and_srv.gds_and_srv (the products list)
    products  integer not null,  -- goods with operations
    kinds     integer not null,  -- kinds of operations (besides 7777 and 7778)
    groups    integer not null,  -- nomenclature groups (classifier level 2)
    items     integer not null,  -- other classifier items
    years     integer not null   -- register history
);
insert into bench.size values
    ('plant', 400, 20000, 10000, 600, 40, 100, 2000, 2),
    ('large', 2000, 200000, 100000, 3000, 80, 400, 20000, 5);

-- The size the database was set up with.
create table bench.current (name text not null references bench.size (name));

-- The production operations an entry may take, numbered from 0, with their entry price.
create table bench.op (
    n        integer primary key,
    id       integer not null,
    i_id     integer not null,
    price    numeric not null,  -- the lowest norm price
    painting boolean not null
);

-- The last day of the generated history (fixed, so that the data do not depend on the day
-- they were made).
create function bench.history_end() returns date language sql immutable as $$ select date '2026-11-30' $$;

-- A non-negative pseudo-random number of a key and a salt.
create function bench.rnd(k bigint, salt integer) returns bigint
language sql immutable parallel safe as $$ select hashint8extended(k, salt) & 2147483647 $$;

create function bench.fio(k bigint) returns text
language sql immutable parallel safe as $$
select a[1 + bench.rnd(k, 1) % array_length(a, 1)]
       || ' ' || substr('АБВГДЕЖЗИКЛМНОПРСТУФЭЮЯ', 1 + (bench.rnd(k, 2) % 23)::integer, 1) || '.'
       || substr('АБВГДЕЖЗИКЛМНОПРСТУФЭЮЯ', 1 + (bench.rnd(k, 3) % 23)::integer, 1) || '.'
  from (select array['Иванов','Петров','Сидоров','Смирнов','Кузнецов','Попов','Васильев','Соколов','Михайлов',
              'Новиков','Фёдоров','Морозов','Волков','Алексеев','Лебедев','Семёнов','Егоров','Павлов',
              'Козлов','Степанов','Николаев','Орлов','Андреев','Макаров','Никитин','Захаров','Зайцев',
              'Соловьёв','Борисов','Яковлев','Григорьев','Романов','Воробьёв','Сергеев','Кузьмин',
              'Фролов','Александров','Дмитриев','Королёв','Гусев','Киселёв','Ильин','Максимов',
              'Поляков','Сорокин','Виноградов','Ковалёв','Белов','Медведев','Антонов','Тарасов',
              'Жуков','Баранов','Филиппов','Комаров','Давыдов','Беляев','Герасимов','Богданов',
              'Осипов','Сидоренко','Ёлкин','Елисеев','Д''Артаньян'] as a) names
$$;

-- Drops the indexes of a table that no constraint owns and returns their definitions, so that a
-- bulk load does not maintain them row by row.
create function bench.drop_indexes(tbl regclass) returns setof text language plpgsql as $$
declare
    r record;
begin
    for r in select i.indexrelid::regclass as name, pg_get_indexdef(i.indexrelid) as def
               from pg_index i
              where i.indrelid = tbl
                and not exists (select 1 from pg_constraint c where c.conindid = i.indexrelid)
    loop
        execute format('drop index %s', r.name);
        return next r.def;
    end loop;
end
$$;

-- The reference data of a size: departments, positions, roles, classifier items and groups,
-- goods, kinds, operations with one to three norms, workers and the enterprise's persons.
create function bench.setup(size_name text) returns void language plpgsql as $$
declare
    s bench.size;
begin
    select * into strict s from bench.size where name = size_name;
    delete from bench.current;
    insert into bench.current values (size_name);
    -- Rows are written as they are: no mirror of workers, no foreign-key checks row by row.
    set local session_replication_role = replica;

    insert into cmn_department.department (id, id_branch, id_parent, s_code, s_caption, s_description)
    select k, 1, null, lpad(k::text, 2, '0'), 'Участок ' || k, '' from generate_series(1, 12) k;
    insert into hrms_staffpos.staffpos (id, id_department, s_code, s_caption, d_begin, d_end, s_description)
    select k, 1 + k % 12, (100 + k)::text, 'Должность ' || k, date '2015-01-01', null, '' from generate_series(1, 30) k;
    insert into adm_role.roles (id, s_name, s_caption, d_begin, d_end, b_active)
    values (1, 'worker', 'Рабочий', date '2015-01-01', null, 'true'), (2, 'master', 'Мастер', date '2015-01-01', null, 'true');

    -- Groups first (ids 1..groups), then the classifier's other items.
    insert into cmn_classifier.item (id, id_classifier, id_level, id_parent, s_code, s_caption, s_description, b_excluded)
    select k, 1, 2, null, 'Г' || k, 'Группа ' || lpad(k::text, 4, '0'), '', 'false' from generate_series(1, s.groups) k;
    insert into cmn_classifier.item (id, id_classifier, id_level, id_parent, s_code, s_caption, s_description, b_excluded)
    select s.groups + k, 1, 1 + 2 * (k % 2), 1 + k % s.groups, 'К' || k, 'Позиция классификатора ' || k, '', 'false'
      from generate_series(1, s.items) k;

    -- Goods 1..goods; the first `products` carry operations. 7777 and 7778 carry the works.
    insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_description, id_msm_bs, massa, id_class_item)
    select k, (array['СТ','ШМ','ВС','ТС','СФ','П','КР','ОП','СВ','ЯМ'])[1 + k % 10] || '-' || (100 + k)
              || case when k % 7 = 0 then ' усиленный' else '' end,
           '', 6, (1 + bench.rnd(k, 10) % 8) / 2.0, 1 + bench.rnd(k, 11) % s.groups
      from generate_series(1, s.goods) k
     where k not in (7777, 7778);
    insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_description, id_msm_bs, massa, id_class_item)
    values (7777, 'Хозяйственные работы', '', 6, 0, null), (7778, 'Средне-сдельные работы', '', 6, 0, null)
    on conflict (id) do nothing;

    -- Kinds: every fifth is a painting kind.
    insert into accounts_dep.vid_oper (id, vid)
    select k, case when k % 5 = 0 then 'Покраска ' || k else 'Операция ' || lpad(k::text, 3, '0') end
      from generate_series(1, s.kinds) k;
    insert into accounts_dep.vid_oper (id, vid) values (7777, 'Хозяйственные работы'), (7778, 'Средне-сдельные работы');

    -- Two to four operations per product, of different kinds.
    insert into accounts_dep.oper (vid, naimen, i_id, cena_new)
    select 1 + (p * 7 + j * (1 + p % 5)) % s.kinds, (p + j) % 2, p,
           ((10 + bench.rnd(p * 10 + j, 12) % 900) / 10.0)::text
      from generate_series(1, s.products) p
     cross join generate_series(0, 3) j
     where p not in (7777, 7778) and j < 2 + bench.rnd(p, 13) % 3
     order by p, j;
    insert into accounts_dep.norm (o_id, price, norma, prize)
    select o.id, round((1 + bench.rnd(o.id, 14) % 400) / 10.0 * (1 + 0.15 * j), 2)::double precision, 10 * (j + 1), 5 * j
      from accounts_dep.oper o
     cross join generate_series(0, 2) j
     where j <= bench.rnd(o.id, 15) % 3
     order by o.id, j;
    insert into accounts_dep.oper (vid, naimen, i_id, cena_new) values (7777, 0, 7777, '150'), (7778, 0, 7778, '120');
    insert into accounts_dep.norm (o_id, price, norma, prize)
    select id, case vid when 7777 then 150 else 120 end, 1, 0 from accounts_dep.oper where vid in (7777, 7778);

    insert into bench.op (n, id, i_id, price, painting)
    select row_number() over (order by o.id) - 1, o.id, o.i_id,
           (select min(price) from accounts_dep.norm n where n.o_id = o.id)::numeric,
           upper(v.vid) like '%КРАСКА%'
      from accounts_dep.oper o
      join accounts_dep.vid_oper v on v.id = o.vid
     where o.vid < 7777;

    -- Workers 1..workers; every 25th does household works instead of register entries.
    insert into accounts_dep.person (id, fio, s_staffpos_hl)
    select w, bench.fio(w), 'Участок ' || (1 + w % 12)
      from generate_series(1, s.workers) w;
    perform setval('accounts_dep.person_id_seq', s.workers);

    -- The enterprise's persons: the workers (every tenth matched by s_code only), then the rest,
    -- whose codes are numbers that no worker has.
    insert into cmn_contractor.person (id, s_code, s_caption)
    select case when w % 10 = 0 then 5000000 + w else w end, w::text, p.fio
      from generate_series(1, s.workers) w
      join accounts_dep.person p on p.id = w;
    insert into cmn_contractor.person (id, s_code, s_caption)
    select 10000000 + k, (10000000 + k)::text, bench.fio(10000000 + k)
      from generate_series(1, s.persons - s.workers) k;

    update accounts_dep.ver set d = 20240101, t = 0, delim = '.';
end
$$;

-- Register entries and works of the days from d1 to d2 (both included), without their
-- timesheet cells. About five entries per worker and working day across shifts 1 to 3, some
-- overtime, a tenth of the workers on some Saturdays; one entry in fifty marked "ta".
create function bench.insert_days(d1 date, d2 date) returns void language plpgsql as $$
declare
    nops integer := (select count(*) from bench.op);
    last_day date := greatest(d2, bench.history_end());
begin
    set local session_replication_role = replica;
    create temporary table bench_work on commit drop as
    with days as (
        select d::date as data, d::date - date '2000-01-01' as dn, extract(isodow from d)::integer as dow,
               (d::date - date '2000-01-03') / 7 as wk
          from generate_series(d1, d2, interval '1 day') d
    )
    select p.id as w, d.data, d.dn, d.dow,
           case when d.dow = 6 then 1 else 1 + (p.id + d.wk) % 3 end as smena,
           case when d.dow = 6 then 3 else 4 + bench.rnd(p.id * 100000 + d.dn, 20) % 4 end as n,
           d.dow >= 6 as day_off,
           d.dow <= 5 and bench.rnd(p.id * 100000 + d.dn, 21) % 10 = 0 as overtime
      from accounts_dep.person p
     cross join days d
     where p.id % 25 <> 0
       and ((d.dow <= 5 and bench.rnd(p.id * 100000 + d.dn, 22) % 20 <> 0)
            or (d.dow = 6 and bench.rnd(p.id * 100000 + d.dn, 23) % 10 = 0));

    insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, ok, vvod, prize,
                                    id_doc, id_doc_item, id_gds_use, id_cons_use, f_gds_qty_use)
    select e.w, op.i_id, op.id,
           round(op.price * case when e.day_off then 2 else 1 end
                 * case e.shift when 3 then 1.2 when 4 then 1.5 else 1 end, 4)::double precision,
           5 + bench.rnd(e.key, 30) % 60,
           case when bench.rnd(e.key, 31) % 12 = 0 then 1 + bench.rnd(e.key, 32) % 3 else 0 end,
           e.data, e.shift,
           case when op.painting then (array[1, 3005, 5015, 7035, 9003, 6005])[1 + bench.rnd(e.key, 33) % 6] else 0 end,
           case when e.shift = 4 then 2 + bench.rnd(e.key, 34) % 3
                else 8 / e.regular + case when e.k < 8 % e.regular then 1 else 0 end end,
           case when bench.rnd(e.key, 35) % 50 = 0 then 'ta'
                when bench.rnd(e.key, 36) % 15 = 0 then 'да'
                when e.data > last_day - 3 then 'no'
                else 'ok' end,
           e.data + time '15:30' + bench.rnd(e.key, 37) % 180 * interval '1 minute',
           0, 0, 0, 0, 0, 0
      from (select bw.w, bw.data, bw.day_off, k,
                   case when bw.overtime and k = bw.n - 1 then 4 else bw.smena end as shift,
                   case when bw.overtime then bw.n - 1 else bw.n end as regular,
                   (bw.w * 100000 + bw.dn) * 10 + k as key,
                   (bw.w * 7919 + bw.dn * 104729 + k * 13) % nops as opn
              from bench_work bw
             cross join generate_series(0, 6) k
             where k < bw.n) e
      join bench.op op on op.n = e.opn
     order by e.data, e.shift, e.w, e.k;

    if to_regclass('tabel.change_log') is not null then
        insert into tabel.change_log (at, login_role, os_user, host, build, action, table_name, row_key, old_row, new_row)
        select s.vvod, 'foremen', 'master' || s.w_id % 20, 'ceh-' || s.w_id % 20, '20261201.43200', 'add',
               'accounts_dep.smena', jsonb_build_object('id', s.id), null, to_jsonb(s)
          from accounts_dep.smena s
         where s.data between d1 and d2
         order by s.id;
    end if;

    -- Works: the household workers every weekday (nights on Wednesdays for half of them), the
    -- others' average piece-rate works now and then.
    insert into accounts_dep.fatigue (id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, i_holiday, i_night)
    select 1 + bench.rnd(p.id * 100000 + (d::date - date '2000-01-01'), 40) % 50, 7777, p.id, d::date,
           extract(month from d), extract(year from d), 1,
           8, case when p.id % 50 = 0 and extract(isodow from d) = 3 then 180 else 150 end, 0,
           case when p.id % 50 = 0 and extract(isodow from d) = 3 then 1 else 0 end
      from accounts_dep.person p
     cross join generate_series(d1, d2, interval '1 day') d
     where p.id % 25 = 0 and extract(isodow from d) <= 5;
    insert into accounts_dep.fatigue (id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, i_holiday, i_night)
    select 1 + bench.rnd(bw.w * 100000 + bw.dn, 41) % 50, 7778, bw.w, bw.data,
           extract(month from bw.data), extract(year from bw.data), 1,
           4, 100 + bench.rnd(bw.w * 100000 + bw.dn, 42) % 50, 0, 0
      from bench_work bw
     where bw.dow <= 5 and bench.rnd(bw.w * 100000 + bw.dn, 43) % 40 = 0;
    drop table bench_work;
end
$$;

-- The statement part that makes timesheet rows from the register and the works of a period:
-- one row per worker, month, year, shift, type and day/night with each day's hours.
create function bench.timesheet_select(d1 date, d2 date) returns text language plpgsql immutable as $$
declare
    smena_days text;
    works_days text;
begin
    select string_agg(format('sum(time) filter (where extract(day from data) = %s)', k), ', ' order by k),
           string_agg(format('sum(cnt) filter (where extract(day from d_date) = %s)', k), ', ' order by k)
      into smena_days, works_days
      from generate_series(1, 31) k;
    return format('select w_id, extract(month from data)::integer, extract(year from data)::integer, smena, 0, 0, %s '
                  'from accounts_dep.smena where data between %L and %L '
                  'group by w_id, extract(month from data), extract(year from data), smena '
                  'union all '
                  'select id_p::integer, i_mnth, i_year, 0, id_o::integer, i_night, %s '
                  'from accounts_dep.fatigue where d_date between %L and %L '
                  'group by id_p, i_mnth, i_year, id_o, i_night',
                  smena_days, d1, d2, works_days, d1, d2);
end
$$;

create function bench.day_columns() returns text language sql immutable as $$
select string_agg('d' || k, ', ' order by k) from generate_series(1, 31) k
$$;

-- The whole data of a size: reference data, the history and its timesheet, the indexes built
-- once at the end, statistics.
create function bench.generate(size_name text) returns void language plpgsql as $$
declare
    s bench.size;
    first_day date;
    defs text[] := '{}';
    def text;
begin
    perform bench.setup(size_name);
    select * into strict s from bench.size where name = size_name;
    first_day := (bench.history_end() - make_interval(years => s.years))::date + 1;
    defs := defs || array(select bench.drop_indexes('accounts_dep.smena'))
                 || array(select bench.drop_indexes('accounts_dep.h_tabel'))
                 || array(select bench.drop_indexes('accounts_dep.fatigue'));
    if to_regclass('tabel.change_log') is not null then
        defs := defs || array(select bench.drop_indexes('tabel.change_log'));
    end if;
    perform bench.insert_days(first_day, bench.history_end());
    execute format('insert into accounts_dep.h_tabel (w_id, month, year, smena, i_type, i_night, %s) %s',
                   bench.day_columns(), bench.timesheet_select(first_day, bench.history_end()));
    foreach def in array defs loop
        execute def;
    end loop;
end
$$;

-- Register days on top of the data (today's, a month of its own): the days from d1 to d2 that
-- have no entry yet get their entries and works, and the timesheet rows of the period take
-- their hours (rows made where missing, other days kept). Returns the number of days that got
-- entries (Sundays get none).
create function bench.add_days(d1 date, d2 date) returns integer language plpgsql as $$
declare
    d date;
    added integer := 0;
    keep text;
begin
    for d in select g::date from generate_series(d1, d2, interval '1 day') g loop
        if not exists (select 1 from accounts_dep.smena where data = d)
           and not exists (select 1 from accounts_dep.fatigue where d_date = d) then
            perform bench.insert_days(d, d);
            if exists (select 1 from accounts_dep.smena where data = d) then
                added := added + 1;
            end if;
        end if;
    end loop;
    if added = 0 then
        return 0;
    end if;
    select string_agg(format('d%1$s = coalesce(excluded.d%1$s, h.d%1$s)', k), ', ' order by k)
      into keep from generate_series(1, 31) k;
    execute format('insert into accounts_dep.h_tabel as h (w_id, month, year, smena, i_type, i_night, %s) %s '
                   'on conflict (w_id, year, month, smena, i_type, i_night) do update set %s',
                   bench.day_columns(), bench.timesheet_select(d1, d2), keep);
    return added;
end
$$;

create function bench.add_month(y integer, m integer) returns integer language sql as $$
select bench.add_days(make_date(y, m, 1), (make_date(y, m, 1) + interval '1 month - 1 day')::date)
$$;
