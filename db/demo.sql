-- A small invented plant for the demo database: departments, staff positions, roles, 40 workers,
-- nomenclature groups, products, kinds of operations with operations and norm prices, register
-- entries of the previous month and of this month up to today (today in all four shifts),
-- household and average piece-rate works, and the monthly timesheet rows built from them.
--
-- Loaded once into a database made from schema.sql. Dates follow current_date; everything else
-- is computed from row numbers, so two loads on the same day give the same rows.

set client_min_messages = warning;

------------------------------------------------------------------------------------------------
-- Enterprise reference data
------------------------------------------------------------------------------------------------

insert into cmn_department.department (id, id_branch, id_parent, s_code, s_caption, s_description) values
    (1, 1, null, '01', 'Заготовительный участок', 'Резка и гибка металла'),
    (2, 1, null, '02', 'Сварочный участок', 'Сварка и зачистка швов'),
    (3, 1, null, '03', 'Сборочный участок', 'Сборка и слесарная доработка'),
    (4, 1, null, '04', 'Малярный участок', 'Грунтовка и покраска'),
    (5, 1, null, '05', 'Участок упаковки', 'Упаковка готовой продукции'),
    (6, 1, null, '06', 'Хозяйственная служба', 'Уборка, погрузка, ремонт помещений');

insert into hrms_staffpos.staffpos (id, id_department, s_code, s_caption, d_begin, d_end, s_description) values
    (1, 1, '101', 'Резчик металла', date '2015-01-01', null, ''),
    (2, 1, '102', 'Оператор листогибочного пресса', date '2015-01-01', null, ''),
    (3, 2, '201', 'Электросварщик', date '2015-01-01', null, ''),
    (4, 3, '301', 'Слесарь-сборщик', date '2015-01-01', null, ''),
    (5, 4, '401', 'Маляр', date '2015-01-01', null, ''),
    (6, 5, '501', 'Упаковщик', date '2015-01-01', null, ''),
    (7, 6, '601', 'Подсобный рабочий', date '2015-01-01', null, ''),
    (8, null, '901', 'Мастер участка', date '2015-01-01', null, '');

insert into adm_role.roles (id, s_name, s_caption, d_begin, d_end, b_active) values
    (1, 'worker', 'Рабочий', date '2015-01-01', null, 'true'),
    (2, 'master', 'Мастер', date '2015-01-01', null, 'true'),
    (3, 'store', 'Кладовщик', date '2015-01-01', null, 'true'),
    (4, 'viewer', 'Просмотр', date '2015-01-01', null, 'true');

-- Nomenclature groups (level-2 classifier items).
insert into cmn_classifier.item (id, id_classifier, id_level, id_parent, s_code, s_caption, s_description, b_excluded) values
    (1, 1, 2, null, 'Г01', 'Стеллажи', 'Стеллажи металлические сборные', 'false'),
    (2, 1, 2, null, 'Г02', 'Шкафы металлические', 'Шкафы для одежды и документов', 'false'),
    (3, 1, 2, null, 'Г03', 'Верстаки', 'Верстаки слесарные', 'false'),
    (4, 1, 2, null, 'Г04', 'Тележки', 'Тележки складские', 'false'),
    (5, 1, 2, null, 'Г05', 'Сейфы', 'Сейфы и металлические ящики', 'false'),
    (6, 1, 2, null, 'Г06', 'Комплектующие', 'Полки, кронштейны, опоры', 'false');

-- Products, with the factor per piece ("Коробки"). 7777 and 7778 carry the operations of the
-- household and average piece-rate works.
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_description, id_msm_bs, massa, id_class_item) values
    (1, 'СТ-1000', '', 6, 1, 1),
    (2, 'СТ-1500', '', 6, 1, 1),
    (3, 'СТ-2000', '', 6, 2, 1),
    (4, 'СТ-2500 усиленный', '', 6, 2, 1),
    (5, 'СТА-1200 архивный', '', 6, 1.5, 1),
    (6, 'ШМ-11', '', 6, 1, 2),
    (7, 'ШМ-12', '', 6, 1, 2),
    (8, 'ШМ-22', '', 6, 2, 2),
    (9, 'ША-24 архивный', '', 6, 2, 2),
    (10, 'ШД-1 для документов', '', 6, 1.5, 2),
    (11, 'ВС-1200', '', 6, 1, 3),
    (12, 'ВС-1500', '', 6, 1, 3),
    (13, 'ВС-2000 с тумбой', '', 6, 2, 3),
    (14, 'ВСП-1800 промышленный', '', 6, 3, 3),
    (15, 'ТС-200', '', 6, 1, 4),
    (16, 'ТС-300', '', 6, 1, 4),
    (17, 'ТСП-500 платформенная', '', 6, 2, 4),
    (18, 'ТГ-150 гидравлическая', '', 6, 2.5, 4),
    (19, 'СФ-20', '', 6, 1, 5),
    (20, 'СФ-35', '', 6, 1, 5),
    (21, 'СФ-50 взломостойкий', '', 6, 2, 5),
    (22, 'ЯМ-1 ящик металлический', '', 6, 0.5, 5),
    (23, 'П-1000 полка', '', 6, 0.25, 6),
    (24, 'П-1500 полка', '', 6, 0.25, 6),
    (25, 'КР-300 кронштейн', '', 6, 0.1, 6),
    (26, 'КР-450 кронштейн', '', 6, 0.1, 6),
    (27, 'ОП-60 опора регулируемая', '', 6, 0.05, 6),
    (28, 'СВ-2000 связь', '', 6, 0.1, 6),
    (29, 'СТ-1000 оцинкованный', '', 6, 1, 1),
    (30, 'ШМ-11 с замком "Барьер"', '', 6, 1, 2),
    (7777, 'Хозяйственные работы', '', 6, 0, null),
    (7778, 'Средне-сдельные работы', '', 6, 0, null);

------------------------------------------------------------------------------------------------
-- Workers
------------------------------------------------------------------------------------------------

-- The list shows the department's caption in s_staffpos_hl, as the worker dialog writes it.
insert into accounts_dep.person (id, fio, s_staffpos_hl)
select w.id, w.fio, d.s_caption
  from (values
    (1, 'Петров А.С.', 1, 8, 2),
    (2, 'Иванов И.И.', 1, 1, 1),
    (3, 'Сидоров П.К.', 1, 1, 1),
    (4, 'Кузнецов Д.В.', 1, 2, 1),
    (5, 'Смирнов О.Л.', 1, 2, 1),
    (6, 'Васильев Н.А.', 1, 1, 1),
    (7, 'Попов Е.М.', 1, 2, 1),
    (8, 'Соколов Г.Р.', 1, 1, 1),
    (9, 'Михайлов В.П.', 2, 8, 2),
    (10, 'Новиков С.Д.', 2, 3, 1),
    (11, 'Фёдоров А.А.', 2, 3, 1),
    (12, 'Морозов К.Е.', 2, 3, 1),
    (13, 'Волков Ю.Н.', 2, 3, 1),
    (14, 'Алексеев Р.Т.', 2, 3, 1),
    (15, 'Лебедев М.Ф.', 2, 3, 1),
    (16, 'Семёнов В.Г.', 3, 8, 2),
    (17, 'Егоров Л.И.', 3, 4, 1),
    (18, 'Павлов Б.С.', 3, 4, 1),
    (19, 'Козлов Т.В.', 3, 4, 1),
    (20, 'Степанов А.Ю.', 3, 4, 1),
    (21, 'Николаев Ф.Х.', 3, 4, 1),
    (22, 'Орлов Э.Д.', 3, 4, 1),
    (23, 'Андреев Я.О.', 3, 4, 1),
    (24, 'Макаров З.К.', 3, 4, 1),
    (25, 'Никитин Е.В.', 4, 8, 2),
    (26, 'Захаров Г.А.', 4, 5, 1),
    (27, 'Зайцев С.С.', 4, 5, 1),
    (28, 'Соловьёв И.П.', 4, 5, 1),
    (29, 'Д''Артаньян Ш.Б.', 4, 5, 1),
    (30, 'Ёлкин П.Р.', 4, 5, 1),
    (31, 'Борисова Н.А.', 5, 8, 2),
    (32, 'Яковлева Т.С.', 5, 6, 1),
    (33, 'Григорьева О.В.', 5, 6, 1),
    (34, 'Романова Л.М.', 5, 6, 1),
    (35, 'Воробьёва Е.Д.', 5, 6, 3),
    (36, 'Сергеева И.К.', 5, 6, 1),
    (37, 'Куликов А.Н.', 6, 7, 1),
    (38, 'Белов В.В.', 6, 7, 1),
    (39, 'Тарасов С.И.', 6, 7, 1),
    (40, 'Комаров Д.Е.', 6, 7, 1)
  ) as w (id, fio, dep, pos, role)
  join cmn_department.department d on d.id = w.dep;

------------------------------------------------------------------------------------------------
-- Kinds of operations, operations, norms
------------------------------------------------------------------------------------------------

insert into accounts_dep.vid_oper (id, vid) values
    (1, 'Резка'),
    (2, 'Гибка'),
    (3, 'Сварка'),
    (4, 'Сборка'),
    (5, 'Покраска'),
    (6, 'Упаковка'),
    (7, 'Зачистка швов'),
    (8, 'Слесарная доработка'),
    (7777, 'Хозяйственные работы'),
    (7778, 'Средне-сдельные работы');

-- Product kind of each kind's operations: blanks for cutting, bending and seam cleaning,
-- finished products for the rest; fitting uses 2, which reads as blanks.
create temporary table demo_kind (vid integer primary key, naimen smallint, base numeric);
insert into demo_kind values (1, 1, 4.20), (2, 1, 3.10), (3, 0, 9.50), (4, 0, 12.00),
                             (5, 0, 7.40), (6, 0, 1.80), (7, 1, 2.60), (8, 2, 5.30);

-- Every product has one operation of every kind.
insert into accounts_dep.oper (vid, naimen, i_id, cena_new)
select k.vid, k.naimen, g.id::integer, round(k.base * (1 + g.massa / 2), 2)::text
  from cmn_gds_and_srv.gds_and_srv g
 cross join demo_kind k
 where g.id < 7777
 order by g.id, k.vid;

-- One to three norms per operation; the lowest price prices the entries.
insert into accounts_dep.norm (o_id, price, norma, prize)
select o.id, round(k.base * (1 + g.massa / 2) * (1 + 0.15 * j), 2)::double precision, 10 * (j + 1), 5 * j
  from accounts_dep.oper o
  join demo_kind k on k.vid = o.vid
  join cmn_gds_and_srv.gds_and_srv g on g.id = o.i_id
 cross join generate_series(0, 2) j
 where j <= o.id % 3
 order by o.id, j;

-- An operation without norms: it stays out of the operations list until it gets a price.
insert into accounts_dep.oper (vid, naimen, i_id, cena_new) values (6, 1, 1, '0');

-- The works' operations, priced per hour.
insert into accounts_dep.oper (vid, naimen, i_id, cena_new) values (7777, 0, 7777, '150'), (7778, 0, 7778, '120');
insert into accounts_dep.norm (o_id, price, norma, prize)
select o.id, case o.vid when 7777 then 150 else 120 end, 1, 0
  from accounts_dep.oper o
 where o.vid in (7777, 7778);

------------------------------------------------------------------------------------------------
-- Register entries: the previous month and this month up to today
------------------------------------------------------------------------------------------------

-- Who works when: weekdays in a shift that rotates weekly, some Saturdays in shift 1 (a day off,
-- double price), overtime now and then; today everybody is at work and overtime is worked, so
-- every shift list of today has rows.
create temporary table demo_work as
with days as (
    select d::date as data,
           (d::date - date_trunc('month', current_date - interval '1 month')::date) + 1 as dn,
           extract(isodow from d)::integer as dow,
           (d::date - date_trunc('week', current_date - interval '1 month')::date) / 7 as wk
      from generate_series(date_trunc('month', current_date - interval '1 month'), current_date, interval '1 day') d
), workers as (
    select p.id as w, d.id::integer as dep
      from accounts_dep.person p join cmn_department.department d on d.s_caption = p.s_staffpos_hl
     where d.id <= 5
)
select w.w, w.dep, d.data, d.dn, d.dow,
       1 + (w.w + d.wk) % 3 as smena,
       case when d.data = current_date then 1 + (w.w + d.dn) % 2
            when d.dow = 6 then 1
            else 1 + (w.w + d.dn) % 2 end as n,
       d.dow >= 6 as day_off
  from workers w cross join days d
 where d.data = current_date
    or (d.dow <= 5 and (w.w * 3 + d.dn) % 17 <> 0)
    or (d.dow = 6 and (w.w + d.dn) % 4 = 0);

-- Saturday work is in shift 1.
update demo_work set smena = 1 where dow = 6 and data <> current_date;

-- Overtime.
insert into demo_work (w, dep, data, dn, dow, smena, n, day_off)
select w, dep, data, dn, dow, 4, 1, day_off
  from demo_work
 where smena <> 4
   and ((data = current_date and w % 5 = 0) or (data <> current_date and dow <= 5 and (w * 7 + dn) % 9 = 0));

create temporary table demo_entry as
select dw.w, dw.dep, dw.data, dw.dn, dw.smena, dw.day_off, e,
       case dw.dep when 1 then 1 + e % 2
                   when 2 then case when e = 0 then 3 else 7 end
                   when 3 then case when e = 0 then 4 else 8 end
                   when 4 then 5
                   else 6 end as vid,
       1 + (dw.w * 7 + dw.dn * 3 + e * 11) % 30 as i_id,
       case when dw.smena = 4 then 2 + (dw.w + dw.dn) % 3
            when dw.n = 1 then 8
            when e = 0 then 5
            else 3 end as time
  from demo_work dw
 cross join generate_series(0, 1) e
 where e < dw.n;

insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, ok, vvod, prize,
                                id_doc, id_doc_item, id_gds_use, id_cons_use, f_gds_qty_use)
select de.w, de.i_id, o.id,
       round((select min(n.price) from accounts_dep.norm n where n.o_id = o.id)::numeric
             * case when de.day_off then 2 else 1 end
             * case de.smena when 3 then 1.2 when 4 then 1.5 else 1 end, 4)::double precision,
       5 + (de.w * 13 + de.dn * 7 + de.e * 3) % 36 as kol_vo,
       case when (de.w + de.dn * 5 + de.e) % 9 = 0 then 1 + de.dn % 3 else 0 end as brak,
       de.data, de.smena,
       case when de.vid = 5 then (array[1, 3005, 5015, 7035, 9003, 1, 6005, 3020])[1 + (de.w + de.dn + de.e) % 8]
            else 0 end as color,
       de.time,
       case when de.data = current_date then case when (de.w + de.e) % 6 = 0 then 'ok' else 'no' end
            when de.data >= current_date - 2 then case when (de.w + de.dn + de.e) % 2 = 0 then 'ok' else 'no' end
            when (de.w + de.dn + de.e) % 29 = 0 then 'ta'
            when (de.w * 3 + de.dn + de.e) % 7 = 0 then 'да'
            else 'ok' end as ok,
       de.data + time '15:30' + (de.w * 37 + de.e * 11) % 180 * interval '1 minute' as vvod,
       0, 0, 0, 0, 0, 0
  from demo_entry de
  join demo_kind k on k.vid = de.vid
  join accounts_dep.oper o on o.vid = de.vid and o.i_id = de.i_id and o.naimen = k.naimen
 order by de.data, de.smena, de.w, de.e;

------------------------------------------------------------------------------------------------
-- Household and average piece-rate works
------------------------------------------------------------------------------------------------

-- Household works of the service staff: day works on weekdays (night works for two of them on
-- some days), some Saturdays as days off; today everybody.
insert into accounts_dep.fatigue (id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, i_holiday, i_night)
select 1 + (p.id + s.dn) % 6, 7777, p.id, s.data,
       extract(month from s.data), extract(year from s.data), 1,
       case when s.night = 1 then 10 else 8 end,
       150 * case when s.dow >= 6 then 2 else 1 end * case when s.night = 1 then 1.2 else 1 end,
       case when s.dow >= 6 then 1 else 0 end, s.night
  from accounts_dep.person p
 cross join lateral (
        select d::date as data,
               (d::date - date_trunc('month', current_date - interval '1 month')::date) + 1 as dn,
               extract(isodow from d)::integer as dow,
               case when p.id % 2 = 1 and extract(isodow from d) = 3 then 1 else 0 end as night
          from generate_series(date_trunc('month', current_date - interval '1 month'), current_date, interval '1 day') d
       ) s
 where p.s_staffpos_hl = (select s_caption from cmn_department.department where id = 6)
   and (s.data = current_date or s.dow <= 5 or (s.dow = 6 and (p.id + s.dn) % 3 = 0));

-- Average piece-rate works of production workers, booked against the group of a product they make.
insert into accounts_dep.fatigue (id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, i_holiday, i_night)
select g.id_class_item, 7778, dw.w, dw.data,
       extract(month from dw.data), extract(year from dw.data), 1,
       4, 0, 0, 0
  from demo_work dw
  join cmn_gds_and_srv.gds_and_srv g on g.id = 1 + (dw.w * 7 + dw.dn * 3) % 30
 where dw.smena <> 4 and dw.dow <= 5 and (dw.w * 5 + dw.dn) % 13 = 0;

-- Their price: the worker's piece-work earnings per hour of the month on that group's products,
-- as the works list's "Расчитать ср.сд." computes it.
update accounts_dep.fatigue f
   set price = coalesce((
        select case when coalesce(sum(s.time), 0) = 0 then 0
                    else (sum((s.kol_vo - s.brak) * (s.cena + s.cena * f.i_holiday)) / sum(s.time))::numeric(10,2) end
          from accounts_dep.smena s
          join accounts_dep.izdel gas on gas.id = s.i_id
         where gas.id_class_item = f.id_nom
           and s.w_id = f.id_p
           and s.data >= date_trunc('month', f.d_date)
           and s.data < date_trunc('month', f.d_date) + interval '1 month'), 0)
 where f.id_o = 7778;

------------------------------------------------------------------------------------------------
-- Monthly timesheet rows: each day's cell is the sum of that day's hours
------------------------------------------------------------------------------------------------

insert into accounts_dep.h_tabel (w_id, month, year, smena, i_type, i_night,
    d1, d2, d3, d4, d5, d6, d7, d8, d9, d10, d11, d12, d13, d14, d15, d16,
    d17, d18, d19, d20, d21, d22, d23, d24, d25, d26, d27, d28, d29, d30, d31)
select w_id, extract(month from data)::integer, extract(year from data)::integer, smena, 0, 0,
       sum(time) filter (where extract(day from data) = 1), sum(time) filter (where extract(day from data) = 2),
       sum(time) filter (where extract(day from data) = 3), sum(time) filter (where extract(day from data) = 4),
       sum(time) filter (where extract(day from data) = 5), sum(time) filter (where extract(day from data) = 6),
       sum(time) filter (where extract(day from data) = 7), sum(time) filter (where extract(day from data) = 8),
       sum(time) filter (where extract(day from data) = 9), sum(time) filter (where extract(day from data) = 10),
       sum(time) filter (where extract(day from data) = 11), sum(time) filter (where extract(day from data) = 12),
       sum(time) filter (where extract(day from data) = 13), sum(time) filter (where extract(day from data) = 14),
       sum(time) filter (where extract(day from data) = 15), sum(time) filter (where extract(day from data) = 16),
       sum(time) filter (where extract(day from data) = 17), sum(time) filter (where extract(day from data) = 18),
       sum(time) filter (where extract(day from data) = 19), sum(time) filter (where extract(day from data) = 20),
       sum(time) filter (where extract(day from data) = 21), sum(time) filter (where extract(day from data) = 22),
       sum(time) filter (where extract(day from data) = 23), sum(time) filter (where extract(day from data) = 24),
       sum(time) filter (where extract(day from data) = 25), sum(time) filter (where extract(day from data) = 26),
       sum(time) filter (where extract(day from data) = 27), sum(time) filter (where extract(day from data) = 28),
       sum(time) filter (where extract(day from data) = 29), sum(time) filter (where extract(day from data) = 30),
       sum(time) filter (where extract(day from data) = 31)
  from accounts_dep.smena
 group by w_id, extract(month from data), extract(year from data), smena;

insert into accounts_dep.h_tabel (w_id, month, year, smena, i_type, i_night,
    d1, d2, d3, d4, d5, d6, d7, d8, d9, d10, d11, d12, d13, d14, d15, d16,
    d17, d18, d19, d20, d21, d22, d23, d24, d25, d26, d27, d28, d29, d30, d31)
select id_p::integer, i_mnth, i_year, 0, id_o::integer, i_night,
       sum(cnt) filter (where extract(day from d_date) = 1), sum(cnt) filter (where extract(day from d_date) = 2),
       sum(cnt) filter (where extract(day from d_date) = 3), sum(cnt) filter (where extract(day from d_date) = 4),
       sum(cnt) filter (where extract(day from d_date) = 5), sum(cnt) filter (where extract(day from d_date) = 6),
       sum(cnt) filter (where extract(day from d_date) = 7), sum(cnt) filter (where extract(day from d_date) = 8),
       sum(cnt) filter (where extract(day from d_date) = 9), sum(cnt) filter (where extract(day from d_date) = 10),
       sum(cnt) filter (where extract(day from d_date) = 11), sum(cnt) filter (where extract(day from d_date) = 12),
       sum(cnt) filter (where extract(day from d_date) = 13), sum(cnt) filter (where extract(day from d_date) = 14),
       sum(cnt) filter (where extract(day from d_date) = 15), sum(cnt) filter (where extract(day from d_date) = 16),
       sum(cnt) filter (where extract(day from d_date) = 17), sum(cnt) filter (where extract(day from d_date) = 18),
       sum(cnt) filter (where extract(day from d_date) = 19), sum(cnt) filter (where extract(day from d_date) = 20),
       sum(cnt) filter (where extract(day from d_date) = 21), sum(cnt) filter (where extract(day from d_date) = 22),
       sum(cnt) filter (where extract(day from d_date) = 23), sum(cnt) filter (where extract(day from d_date) = 24),
       sum(cnt) filter (where extract(day from d_date) = 25), sum(cnt) filter (where extract(day from d_date) = 26),
       sum(cnt) filter (where extract(day from d_date) = 27), sum(cnt) filter (where extract(day from d_date) = 28),
       sum(cnt) filter (where extract(day from d_date) = 29), sum(cnt) filter (where extract(day from d_date) = 30),
       sum(cnt) filter (where extract(day from d_date) = 31)
  from accounts_dep.fatigue
 group by id_p, i_mnth, i_year, id_o, i_night;

-- An older build stamp than any real build, and the decimal point.
update accounts_dep.ver set d = 20240101, t = 0, delim = '.';

drop table demo_entry;
drop table demo_work;
drop table demo_kind;
