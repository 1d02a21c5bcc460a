-- Cash documents: order types, order templates, registers and cash orders.

-- Order types: 0 receipt, 1 expense. Fixed rows.
create table WARRANT_TYPES (
  ID integer not null,
  constraint PK_WARRANT_TYPES primary key (ID)
);

create table WARRANT_TYPES_LANGS (
  ID_REC  integer not null,
  ID_LANG integer not null,
  W_TYPE  varchar(80),
  constraint PK_WARRANT_TYPES_LANGS primary key (ID_REC, ID_LANG),
  constraint FK_WARRANT_TYPES_LANGS foreign key (ID_REC) references WARRANT_TYPES (ID)
);

-- Order templates. CODE names the eight automatic templates (exact case); user templates have
-- none. The texts are kept per language; the template directory deletes them before the template.
create generator GEN_DIR_WARRANTES_ID;

create table DIR_WARRANTES (
  ID             integer not null,
  ACCOUNT_NUMBER varchar(80),
  CODE           varchar(80),
  W_TYPE         integer,
  constraint PK_DIR_WARRANTES primary key (ID)
);

create table DIR_WARRANTES_LANGS (
  ID_REC            integer not null,
  ID_LANG           integer not null,
  FOUNDATION        varchar(255),
  OPERATION_SUBJECT varchar(255),
  constraint PK_DIR_WARRANTES_LANGS primary key (ID_REC, ID_LANG),
  constraint FK_DIR_WARRANTES_LANGS foreign key (ID_REC) references DIR_WARRANTES (ID)
);

-- Registers: R_TYPE 0 the day marker of the summary method (R_NUMBER -1), 1 receipt register,
-- 2 expense register. The program takes new keys from GEN_REGISTERS_ID. ID_DIR_WARRANTES reads
-- -1 on every row: that is how the cash book tells registers from orders.
create generator GEN_REGISTERS_ID;

create table REGISTERS (
  ID               integer not null,
  ID_DIR_WARRANTES integer default -1 not null,
  ID_FILIAL        integer,
  R_TYPE           integer,
  R_NUMBER         integer,
  R_DATE           date,
  R_SUBJ_TYPE      integer,
  ID_NATIVE        integer,
  constraint PK_REGISTERS primary key (ID)
);

create index IDX_REGISTERS_DAY on REGISTERS (R_DATE, ID_FILIAL);
create index IDX_REGISTERS_NATIVE on REGISTERS (ID_NATIVE);
-- One day marker per day and branch, one register per day, branch, type and pledge type: two
-- workstations regenerating one day meet here instead of each storing a row of its own.
create unique index UNQ_REGISTERS_DAY on REGISTERS computed by (
  iif(R_TYPE in (0, 1, 2), ID_FILIAL || '/' || R_DATE || '/' || R_TYPE || '/' || coalesce(R_SUBJ_TYPE, ''), null));

-- Cash orders; W_TYPE 0 receipt, 1 expense. A new order arrives with ID NULL. ID_OPERATION,
-- ID_CONTRACT and ID_REGISTER carry no keys: the branch import stores the branch's ids there and
-- links them afterwards. FOUNDATION is never cut by the program, so it is as wide as the subject.
-- MODIFY_DATE is kept by the database; the cash book and the branch export select by it.
create generator GEN_WARRANTES_ID;

create table WARRANTES (
  ID                  integer not null,
  ID_DIR_WARRANTES    integer,
  ID_FILIAL           integer,
  NUMBER              varchar(80),
  W_DATE              date,
  W_TYPE              integer,
  ACCOUNT_NUMBER      varchar(80),
  W_SUM               integer default 0,
  OPERATION_SUBJECT   varchar(10000),
  FOUNDATION          varchar(10000),
  ADDITION            varchar(10000),
  IDENTIFICATION_DATA varchar(1000),
  MODIFY_DATE         timestamp,
  ID_OPERATION        integer,
  ID_CONTRACT         integer,
  CREDIT_SUM          integer,
  PERC_SUM            integer,
  PENALTY             integer,
  ID_REGISTER         integer,
  REAL_SUM            integer,
  STORAGE_SUM         integer,
  ID_SERVICE_EVENT    smallint,
  ID_NATIVE           integer,
  constraint PK_WARRANTES primary key (ID)
);

create index IDX_WARRANTES_DAY on WARRANTES (W_DATE, ID_FILIAL);
create index IDX_WARRANTES_REGISTER on WARRANTES (ID_REGISTER);
create index IDX_WARRANTES_CONTRACT on WARRANTES (ID_CONTRACT);
create index IDX_WARRANTES_OPERATION on WARRANTES (ID_OPERATION);
create index IDX_WARRANTES_MODIFY on WARRANTES (MODIFY_DATE);
create index IDX_WARRANTES_NATIVE on WARRANTES (ID_NATIVE);

-- The triggers below are made by statements that must see the tables above.
commit;

execute procedure MAKE_KEY_TRIGGER('DIR_WARRANTES', 'ID', 'GEN_DIR_WARRANTES_ID');
execute procedure MAKE_KEY_TRIGGER('WARRANTES', 'ID', 'GEN_WARRANTES_ID');
execute procedure MAKE_MODIFY_DATE_TRIGGER('WARRANTES');

set term ^ ;
create trigger REGISTERS_BIU for REGISTERS active before insert or update position 0
as
begin
  new.ID_DIR_WARRANTES = -1;
end^

-- A deleted contract takes its automatic orders with it: the per-operation method, which deletes
-- no order when a contract goes, then drops the registers left empty. Orders of another branch
-- whose branch ids have not been linked yet are spared by the branch condition.
create trigger PENALTY_CONTRACTS_AD_WARRANTES for PENALTY_CONTRACTS active after delete position 1
as
begin
  delete from WARRANTES W
   where W.ID_CONTRACT = old.CONTRACT_ID
     and W.ID_FILIAL is not distinct from old.FILIAL_ID;
end^
set term ; ^
