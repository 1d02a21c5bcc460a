-- Forfeited pledges: acts that hand pledged items over, their commissions, and parcels of
-- precious metal for the state treasury. The program takes every new key from a generator.
-- Weights are grams.

create generator GEN_PARCEL_ID;

create table PARCEL (
  ID          integer not null,
  NUM_PARCEL  varchar(80),
  DATE_PARCEL date,
  NUM_REESTR  varchar(80),
  IS_ARHIVE   smallint default 0 not null,
  constraint PK_PARCEL primary key (ID)
);

-- Acts. ID_WARE_FROM is NULL for an act received from another branch (its warehouses are then
-- texts in ACT_IMPORT), ID_WARE_TO NULL for a hand-over to the central office. IS_BLOCKED marks
-- an act handed to the central office and exported. MODIFY_DATE is kept by the database; the
-- export of acts stamps its own moment, which is kept. No key to DIR_FILIAL: deleting a branch
-- leaves its acts alone. A parcel that is deleted first frees its acts.
create generator GEN_ACT_ID;

create table ACT (
  ID           integer not null,
  NUM          varchar(80),
  ACT_DATE     date,
  ID_SUBJTYPE  integer,
  ID_WARE_FROM integer,
  ID_WARE_TO   integer,
  IS_BLOCKED   smallint default 0 not null,
  IS_ARHIVE    smallint default 0 not null,
  ID_FILIAL    integer,
  ID_PARCEL    integer,
  MODIFY_DATE  timestamp,
  ID_NATIVE    integer,
  constraint PK_ACT primary key (ID),
  constraint FK_ACT_PARCEL foreign key (ID_PARCEL) references PARCEL (ID)
);

create index IDX_ACT_FILIAL on ACT (ID_FILIAL, ACT_DATE);
create index IDX_ACT_MODIFY on ACT (MODIFY_DATE);
create index IDX_ACT_NATIVE on ACT (ID_NATIVE);

-- Warehouse names of an act received from another branch.
create table ACT_IMPORT (
  ID        integer not null,
  WARE_FROM varchar(255),
  WARE_TO   varchar(255),
  constraint PK_ACT_IMPORT primary key (ID),
  constraint FK_ACT_IMPORT foreign key (ID) references ACT (ID) on delete cascade
);

-- Items of an act with their debt shares on the day they went on sale, and their precious-metal
-- details (net weight and gems). Deleting an act deletes only its ACT row; the items go with it.
-- ID_CONTRACT and ID_SUBJ_CONTR carry no keys: imported acts bring the branch's ids first.
create generator GEN_ACT_SUBJ_ID;

create table ACT_SUBJ (
  ID            integer not null,
  ID_ACT        integer not null,
  ID_CONTRACT   integer,
  ID_SUBJ_CONTR integer,
  TO_SALE_SUM   integer default 0,
  TO_SALE_DATE  date,
  DEB_SUM       integer default 0,
  PROC_SUM      integer default 0,
  STOR_SUM      integer default 0,
  PEN_SUM       integer default 0,
  constraint PK_ACT_SUBJ primary key (ID),
  constraint FK_ACT_SUBJ foreign key (ID_ACT) references ACT (ID) on delete cascade
);

create index IDX_ACT_SUBJ_CONTRACT on ACT_SUBJ (ID_CONTRACT);
create index IDX_ACT_SUBJ_SUBJ on ACT_SUBJ (ID_SUBJ_CONTR);

create table ACT_SUBJ_GOLD (
  ID             integer not null,
  ID_PROBE       integer,
  PROBE_NAME     varchar(80),
  PRICE_PER_GRAM integer default 0,
  QUANTITY       integer,
  WEIGHT         double precision default 0,
  WEIGHT_GEM     double precision default 0,
  constraint PK_ACT_SUBJ_GOLD primary key (ID),
  constraint FK_ACT_SUBJ_GOLD foreign key (ID) references ACT_SUBJ (ID) on delete cascade
);

-- Commissions of acts and parcels: a header per document (TABLE_DOC "ACT" or "PARCEL", CODE the
-- act's pledge-type code or empty) and its members. Members go with their header.
create generator GEN_COMMISSION_HEADER_ID;

create table COMMISSION_HEADER (
  ID        integer not null,
  TABLE_DOC varchar(31),
  ID_FILIAL integer,
  ID_DOC    integer,
  CODE      varchar(20),
  constraint PK_COMMISSION_HEADER primary key (ID)
);

create index IDX_COMMISSION_HEADER_DOC on COMMISSION_HEADER (TABLE_DOC, ID_DOC);

create generator GEN_COMMISSION_ID;

create table COMMISSION (
  ID         integer not null,
  ID_HEADER  integer not null,
  NAME       varchar(200),
  POST       varchar(100),
  SORT_ORDER integer,
  constraint PK_COMMISSION primary key (ID),
  constraint FK_COMMISSION foreign key (ID_HEADER) references COMMISSION_HEADER (ID) on delete cascade
);

-- Items of a parcel, copied from act items; keys from GEN_ACT_SUBJ_ID like the act items.
-- No keys: the parcel delete removes the parcel row before its items, and the item links are
-- moved by the branch import.
create table PARSEL_SUBJ_GOLD (
  ID             integer not null,
  ID_PARCEL      integer,
  ID_ACT_SUBJ    integer,
  ID_CONTR_SUBJ  integer,
  ID_ACT         integer,
  ID_CONTRACT    integer,
  TO_SALE_SUM    integer default 0,
  ID_PROBE       integer,
  PROBE_NAME     varchar(80),
  PRICE_PER_GRAM integer default 0,
  QUANTITY       integer,
  WEIGHT         double precision default 0,
  WEIGHT_GEM     double precision default 0,
  DEB_SUM        integer default 0,
  PROC_SUM       integer default 0,
  STOR_SUM       integer default 0,
  PEN_SUM        integer default 0,
  TO_SALE_DATE   date,
  PACK_NUM       integer,
  constraint PK_PARSEL_SUBJ_GOLD primary key (ID)
);

create index IDX_PARSEL_SUBJ_GOLD_PARCEL on PARSEL_SUBJ_GOLD (ID_PARCEL, PACK_NUM);
create index IDX_PARSEL_SUBJ_GOLD_ACT on PARSEL_SUBJ_GOLD (ID_ACT);
create index IDX_PARSEL_SUBJ_GOLD_CONTRACT on PARSEL_SUBJ_GOLD (ID_CONTRACT);
create index IDX_PARSEL_SUBJ_GOLD_SUBJ on PARSEL_SUBJ_GOLD (ID_CONTR_SUBJ);

-- The triggers below are made by statements that must see the tables above.
commit;

execute procedure MAKE_MODIFY_DATE_TRIGGER('ACT');
