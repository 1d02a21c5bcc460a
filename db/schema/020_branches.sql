-- Branches, the directory correspondence of imported branches and the exchange history.

-- Branches. The branch list draws the key from the generator itself and sends it, so there is no
-- key trigger here; a branch with ID 0 may exist and is never listed by the reports.
-- Counters hold the next number to give.
create generator GEN_DIR_FILIAL_ID;

create table DIR_FILIAL (
  ID                      integer not null,
  NUMBER                  integer not null,
  NAME                    varchar(80),
  IS_IMPORT               smallint default 0 not null,
  IS_CURENT               smallint default 0 not null,
  ORDER_NUM_AUTOINC       integer default 1 not null,
  WNT_RECEIPT_NUM_AUTOINC integer default 1 not null,
  WNT_EXPENSE_NUM_AUTOINC integer default 1 not null,
  REG_RECEIPT_NUM_AUTOINC integer default 1 not null,
  REG_EXPENSE_NUM_AUTOINC integer default 1 not null,
  GUID                    varchar(38),
  ACT_AUTOINC             integer default 1 not null,
  constraint PK_DIR_FILIAL primary key (ID),
  constraint UNQ_DIRFILIAL_NUM unique (NUMBER)
);

-- Directory rows of an imported branch matched to the office's rows. TABLE_NAME holds a table
-- name, hence 31 characters. ID_IN_OFFICE is NULL until matched, 0 when the match was cleared.
-- No key to DIR_FILIAL: deleting a branch leaves these rows alone.
create generator GEN_DIR_CORRESP_ID;

create table DIR_CORRESP (
  ID           integer not null,
  ID_FILIAL    integer,
  TABLE_NAME   varchar(31),
  ID_IN_FILIAL integer,
  ID_IN_OFFICE integer,
  constraint PK_DIR_CORRESP primary key (ID),
  constraint UNQ_DIR_CORRESP unique (ID_FILIAL, TABLE_NAME, ID_IN_FILIAL)
);

-- Exchange history. The branch delete removes a branch's history rows itself; their items go
-- with them. ITEM holds a document number (contract numbers run to 80 characters).
create generator GEN_EXPORT_HISTORY_ID;

create table EXPORT_HISTORY (
  ID          integer not null,
  DATE_EXPORT timestamp,
  ID_FILIAL   integer,
  DATE_START  date,
  DATE_END    date,
  EXPORT_FILE blob sub_type 0,
  constraint PK_EXPORT_HISTORY primary key (ID)
);

create index IDX_EXPORT_HISTORY_FILIAL on EXPORT_HISTORY (ID_FILIAL, DATE_END);

create table EXPORT_HISTORY_ITEMS (
  EXPORT_ID integer not null,
  ITEM      varchar(80),
  ITEM_TYPE smallint,
  ID_ITEM   integer,
  constraint FK_EXPORT_HISTORY_ITEMS foreign key (EXPORT_ID) references EXPORT_HISTORY (ID)
    on delete cascade
);

create generator GEN_IMPORT_HISTORY_ID;

create table IMPORT_HISTORY (
  ID          integer not null,
  DATE_IMPORT timestamp,
  ID_FILIAL   integer,
  DATE_START  date,
  DATE_END    date,
  IMPORT_FILE blob sub_type 0,
  constraint PK_IMPORT_HISTORY primary key (ID)
);

create index IDX_IMPORT_HISTORY_FILIAL on IMPORT_HISTORY (ID_FILIAL, DATE_END);

create table IMPORT_HISTORY_ITEMS (
  IMPORT_ID integer not null,
  ITEM      varchar(80),
  ITEM_TYPE smallint,
  ID_ITEM   integer,
  constraint FK_IMPORT_HISTORY_ITEMS foreign key (IMPORT_ID) references IMPORT_HISTORY (ID)
    on delete cascade
);

-- The triggers below are made by statements that must see the tables above.
commit;

-- The import inserts correspondence rows without a key.
execute procedure MAKE_KEY_TRIGGER('DIR_CORRESP', 'ID', 'GEN_DIR_CORRESP_ID');
