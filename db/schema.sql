-- The embedded database of the program: the program's own tables (schema accounts_dep) and the
-- parts of the plant's enterprise schemas that the program reads and writes, for an empty
-- PostgreSQL database.
--
-- Loaded by psql (scripts/run.sh) and, as one multi-statement text, by the tests' template
-- builder, so this file holds plain SQL only: no psql meta-commands.

set client_min_messages = warning;

create schema accounts_dep;
create schema cmn_contractor;
create schema cmn_classifier;
create schema cmn_gds_and_srv;
create schema hrms_staffpos;
create schema cmn_department;
create schema adm_role;

-- The enterprise system's integer domains (statements cast person codes with ::t_id, ::t_integer).
create domain public.t_id as integer;
create domain public.t_integer as integer;

-- Next value of a key sequence that is not yet taken in the table. Reference tables also receive
-- rows with explicit keys (the kinds and products 7777 and 7778, imported rows); the sequence
-- steps over those keys instead of failing on them.
create function accounts_dep.next_free_id(seq regclass, tbl regclass) returns bigint
language plpgsql volatile as $$
declare
    v bigint;
    taken boolean;
begin
    loop
        v := nextval(seq);
        execute format('select exists(select 1 from %s where id = $1)', tbl) into taken using v;
        exit when not taken;
    end loop;
    return v;
end
$$;

------------------------------------------------------------------------------------------------
-- Enterprise schemas
------------------------------------------------------------------------------------------------

-- Persons of the enterprise system. Every worker of accounts_dep.person is mirrored here with the
-- same id and s_code = the id as text (triggers below). The key and the index on the code cast
-- serve the register's join "(w_id=person.id or s_code::t_id=w_id)".
create table cmn_contractor.person (
    id        numeric(15,0) primary key,
    s_code    varchar(254),
    s_caption varchar(254)
);
create index person_s_code_t_id on cmn_contractor.person ((s_code::t_id));

-- Classifier items; level 2 holds the nomenclature groups. An item inserted with its caption
-- only is a new nomenclature group.
create sequence cmn_classifier.item_id_seq;
create table cmn_classifier.item (
    id              numeric(15,0) primary key
                    default accounts_dep.next_free_id('cmn_classifier.item_id_seq', 'cmn_classifier.item'),
    id_classifier   numeric(15,0) default 1,
    id_level        numeric(15,0) default 2,
    id_parent       numeric(15,0),
    s_code          varchar(254),
    s_caption       varchar(254),
    s_description   varchar(4000),
    b_excluded      varchar(5) default 'false',
    d_excluded_date date
);
alter sequence cmn_classifier.item_id_seq owned by cmn_classifier.item.id;
create index item_level_caption on cmn_classifier.item (id_level, s_caption);

-- Goods: the products of the program (shown through the view accounts_dep.izdel).
create sequence cmn_gds_and_srv.gds_and_srv_id_seq;
create table cmn_gds_and_srv.gds_and_srv (
    id            numeric(15,0) primary key
                  default accounts_dep.next_free_id('cmn_gds_and_srv.gds_and_srv_id_seq', 'cmn_gds_and_srv.gds_and_srv'),
    s_caption     varchar(254),
    s_description varchar(4000),
    id_msm_bs     numeric(15,0),
    massa         numeric(28,6),
    id_class_item numeric(15,0)
);
alter sequence cmn_gds_and_srv.gds_and_srv_id_seq owned by cmn_gds_and_srv.gds_and_srv.id;
create index gds_and_srv_upper_caption on cmn_gds_and_srv.gds_and_srv (upper(s_caption));
-- The products list is read in the order of the mark: without this index the enterprise's goods
-- are sorted on every opening (on disk, with 100,000 goods).
create index gds_and_srv_s_caption on cmn_gds_and_srv.gds_and_srv (s_caption);

create sequence cmn_department.department_id_seq;
create table cmn_department.department (
    id            numeric(15,0) primary key
                  default accounts_dep.next_free_id('cmn_department.department_id_seq', 'cmn_department.department'),
    id_branch     numeric(15,0),
    id_parent     numeric(15,0),
    s_code        varchar(254),
    s_caption     varchar(254),
    s_description varchar(4000)
);
alter sequence cmn_department.department_id_seq owned by cmn_department.department.id;

create sequence hrms_staffpos.staffpos_id_seq;
create table hrms_staffpos.staffpos (
    id            numeric(15,0) primary key
                  default accounts_dep.next_free_id('hrms_staffpos.staffpos_id_seq', 'hrms_staffpos.staffpos'),
    id_department numeric(15,0),
    s_code        varchar(254),
    s_caption     varchar(254),
    d_begin       date,
    d_end         date,
    s_description varchar(4000)
);
alter sequence hrms_staffpos.staffpos_id_seq owned by hrms_staffpos.staffpos.id;

create sequence adm_role.roles_id_seq;
create table adm_role.roles (
    id        numeric(15,0) primary key
              default accounts_dep.next_free_id('adm_role.roles_id_seq', 'adm_role.roles'),
    s_name    varchar(30),
    s_caption varchar(254),
    d_begin   date,
    d_end     date,
    b_active  varchar(5) default 'true'
);
alter sequence adm_role.roles_id_seq owned by adm_role.roles.id;

------------------------------------------------------------------------------------------------
-- The program's own tables
------------------------------------------------------------------------------------------------

-- Workers: the name and, in s_staffpos_hl, the caption of the worker's department.
create sequence accounts_dep.person_id_seq;
create table accounts_dep.person (
    id            integer primary key
                  default accounts_dep.next_free_id('accounts_dep.person_id_seq', 'accounts_dep.person'),
    fio           varchar(254),
    s_staffpos_hl varchar(254)
);
alter sequence accounts_dep.person_id_seq owned by accounts_dep.person.id;
create index person_fio on accounts_dep.person (fio);

-- Products: the goods with the caption of their nomenclature group.
create view accounts_dep.izdel as
select g.id,
       g.s_caption::varchar(254) as marka,
       grp.s_caption::varchar(255) as nom,
       g.massa,
       g.id_class_item,
       g.id_class_item as id_nom
  from cmn_gds_and_srv.gds_and_srv g
  left join cmn_classifier.item grp on grp.id = g.id_class_item;

-- Kinds of operations; 7777 household works, 7778 average piece-rate works.
create sequence accounts_dep.vid_oper_id_seq;
create table accounts_dep.vid_oper (
    id  integer primary key
        default accounts_dep.next_free_id('accounts_dep.vid_oper_id_seq', 'accounts_dep.vid_oper'),
    vid char(128)
);
alter sequence accounts_dep.vid_oper_id_seq owned by accounts_dep.vid_oper.id;

-- Operations: a kind of operation on a product for a product kind (naimen 0 finished, 1 blanks).
-- A kind that has operations cannot be deleted.
create table accounts_dep.oper (
    id       integer generated by default as identity primary key,
    vid      integer references accounts_dep.vid_oper (id),
    naimen   smallint,
    i_id     integer,
    cena_new text
);
create index oper_vid on accounts_dep.oper (vid);
create index oper_i_id on accounts_dep.oper (i_id);

-- Norm prices of operations; they go with their operation.
create table accounts_dep.norm (
    id     integer generated by default as identity primary key,
    o_id   integer references accounts_dep.oper (id) on delete cascade,
    price  double precision,
    norma  integer,
    prize  integer
);
create index norm_o_id on accounts_dep.norm (o_id);

-- The production register. A worker or an operation with entries cannot be deleted.
create table accounts_dep.smena (
    id            integer generated by default as identity primary key,
    w_id          integer references accounts_dep.person (id),
    i_id          integer,
    o_id          integer references accounts_dep.oper (id),
    cena          double precision,
    kol_vo        integer,
    brak          integer,
    data          date,
    smena         smallint,
    color         integer,
    time          integer,
    ok            char(2),
    vvod          timestamp,
    prize         double precision,
    id_doc        numeric(15,0),
    id_doc_item   numeric(15,0),
    id_gds_use    numeric(15,0),
    id_cons_use   numeric(15,0),
    f_gds_qty_use double precision
);
create index smena_data_smena on accounts_dep.smena (data, smena);
create index smena_w_id_data on accounts_dep.smena (w_id, data);
create index smena_o_id on accounts_dep.smena (o_id);
create index smena_i_id_data on accounts_dep.smena (i_id, data);

-- Monthly timesheet: one row per worker, month, year, shift (0 for works), type (0 register,
-- 7777/7778 works) and day/night flag, with the hours of each day.
create table accounts_dep.h_tabel (
    id      integer generated by default as identity primary key,
    w_id    integer,
    month   integer,
    year    integer,
    smena   integer not null default 0,
    i_type  integer not null default 0,
    i_night integer not null default 0,
    d1 integer, d2 integer, d3 integer, d4 integer, d5 integer, d6 integer, d7 integer, d8 integer,
    d9 integer, d10 integer, d11 integer, d12 integer, d13 integer, d14 integer, d15 integer,
    d16 integer, d17 integer, d18 integer, d19 integer, d20 integer, d21 integer, d22 integer,
    d23 integer, d24 integer, d25 integer, d26 integer, d27 integer, d28 integer, d29 integer,
    d30 integer, d31 integer
);
-- One row per key: a second row would double the worker's hours in every timesheet.
create unique index h_tabel_key on accounts_dep.h_tabel (w_id, year, month, smena, i_type, i_night);
create index h_tabel_year_month on accounts_dep.h_tabel (year, month);

-- Household (7777) and average piece-rate (7778) works.
create table accounts_dep.fatigue (
    id        integer generated by default as identity primary key,
    id_nom    numeric(15,0),
    id_o      numeric(15,0),
    id_p      numeric(15,0),
    d_date    date,
    i_mnth    integer,
    i_year    integer,
    i_smena   integer,
    cnt       integer,
    price     numeric(15,4),
    i_holiday integer,
    i_night   integer
);
create index fatigue_d_date_id_p on accounts_dep.fatigue (d_date, id_p);
create index fatigue_id_p on accounts_dep.fatigue (id_p);
-- The worker reports sum each worker's works of the period once per report line.
create index fatigue_id_p_d_date on accounts_dep.fatigue (id_p, d_date);

-- Build stamp of the newest program that has connected, and the decimal separator.
create table accounts_dep.ver (
    d     integer,
    t     integer,
    delim varchar(255)
);
insert into accounts_dep.ver (d, t, delim) values (20000101, 0, '.');

------------------------------------------------------------------------------------------------
-- Rules
------------------------------------------------------------------------------------------------

-- A worker is also a person of the enterprise system with the same number; renames follow.
create function accounts_dep.person_mirror() returns trigger
language plpgsql as $$
begin
    if tg_op = 'DELETE' then
        delete from cmn_contractor.person where id = old.id;
        return old;
    end if;
    if tg_op = 'UPDATE' and new.id <> old.id then
        delete from cmn_contractor.person where id = old.id;
    end if;
    insert into cmn_contractor.person (id, s_code, s_caption)
    values (new.id, new.id::text, new.fio)
    on conflict (id) do update set s_code = excluded.s_code, s_caption = excluded.s_caption;
    return new;
end
$$;
create trigger person_mirror
    after insert or update of id, fio or delete on accounts_dep.person
    for each row execute function accounts_dep.person_mirror();

-- fatigue.id_p is numeric(15,0) and person.id integer, which a foreign key cannot join; these two
-- triggers give the same rule: works need an existing worker, and a worker with works stays.
create function accounts_dep.fatigue_worker_exists() returns trigger
language plpgsql as $$
begin
    if new.id_p is null then
        return new;
    end if;
    if new.id_p <> trunc(new.id_p) or new.id_p not between -2147483648 and 2147483647 then
        raise foreign_key_violation using
            message = format('insert or update on table "fatigue" violates foreign key constraint "fatigue_id_p_fkey"'),
            detail = format('Key (id_p)=(%s) is not present in table "person".', new.id_p);
    end if;
    perform 1 from accounts_dep.person where id = new.id_p::integer for key share;
    if not found then
        raise foreign_key_violation using
            message = format('insert or update on table "fatigue" violates foreign key constraint "fatigue_id_p_fkey"'),
            detail = format('Key (id_p)=(%s) is not present in table "person".', new.id_p);
    end if;
    return new;
end
$$;
create trigger fatigue_worker_exists
    before insert or update of id_p on accounts_dep.fatigue
    for each row execute function accounts_dep.fatigue_worker_exists();

create function accounts_dep.person_keep_with_works() returns trigger
language plpgsql as $$
begin
    if tg_op = 'UPDATE' and new.id = old.id then
        return new;
    end if;
    if exists (select 1 from accounts_dep.fatigue where id_p = old.id::numeric) then
        raise foreign_key_violation using
            message = 'update or delete on table "person" violates foreign key constraint "fatigue_id_p_fkey" on table "fatigue"',
            detail = format('Key (id)=(%s) is still referenced from table "fatigue".', old.id);
    end if;
    if tg_op = 'DELETE' then
        return old;
    end if;
    return new;
end
$$;
create trigger person_keep_with_works
    before delete or update of id on accounts_dep.person
    for each row execute function accounts_dep.person_keep_with_works();
