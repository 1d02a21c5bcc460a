-- Pledge contracts: the directories a contract refers to, the contract with its terms, items,
-- operations, sale and put-on-sale rows, and the dollar rates.
-- Money is INTEGER hundredths, rates INTEGER hundredths of a percent, the dollar rate INTEGER
-- ten-thousandths, flags SMALLINT 0/1. Languages of the _LANGS tables: 1 Russian, 2 Ukrainian.

-- Contract states 0 open, 1 closed, 2 sold, 3 on sale; fixed rows. Every state needs a name in
-- both languages, or the contract list loses its contracts.
create table CONTRACT_STATES (
  STATE_ID integer not null,
  constraint PK_CONTRACT_STATES primary key (STATE_ID)
);

create table CONTRACT_STATES_LANGS (
  ID_REC     integer not null,
  ID_LANG    integer not null,
  STATE_NAME varchar(80),
  constraint PK_CONTRACT_STATES_LANGS primary key (ID_REC, ID_LANG),
  constraint FK_CONTRACT_STATES_LANGS foreign key (ID_REC) references CONTRACT_STATES (STATE_ID)
);

-- Pledge types by CODE ("GOLD" precious metal, "TECH", ...). Id 0 stands for "none" and has no row.
-- A code is a short tag; 20 characters.
create generator GEN_DEPOSIT_TYPES_ID;

create table DEPOSIT_TYPES (
  ID   integer not null,
  CODE varchar(20),
  constraint PK_DEPOSIT_TYPES primary key (ID),
  constraint UNQ_DEPOSIT_TYPES_CODE unique (CODE)
);

create table DEPOSIT_TYPES_LANGS (
  ID_REC  integer not null,
  ID_LANG integer not null,
  NAME    varchar(80),
  constraint PK_DEPOSIT_TYPES_LANGS primary key (ID_REC, ID_LANG),
  constraint FK_DEPOSIT_TYPES_LANGS foreign key (ID_REC) references DEPOSIT_TYPES (ID)
);

-- Storage-fee kinds: 1 fixed sum per day, 2 percent of the valuation, 3 percent of the principal.
create table STORAGE_TYPES (
  ID integer not null,
  constraint PK_STORAGE_TYPES primary key (ID)
);

create table STORAGE_TYPES_LANGS (
  ID_REC  integer not null,
  ID_LANG integer not null,
  NAME    varchar(80),
  constraint PK_STORAGE_TYPES_LANGS primary key (ID_REC, ID_LANG),
  constraint FK_STORAGE_TYPES_LANGS foreign key (ID_REC) references STORAGE_TYPES (ID)
);

-- Kinds of precious metal and the tariffs by assay (prices per gram in hundredths).
create generator GEN_DIR_DRAGME_TYPE_ID;

create table DIR_DRAGME_TYPE (
  ID   integer not null,
  NAME varchar(80) not null,
  constraint PK_DIR_DRAGME_TYPE primary key (ID)
);

create generator GEN_GOLD_TARIF_ID;

create table GOLD_TARIF (
  ID               integer not null,
  PROB_NAME        varchar(80) not null,
  PRICE_PER_GRAM   integer not null,
  DEPOSIT_PER_GRAM integer not null,
  ID_ME_TYPE       integer not null,
  constraint PK_GOLD_TARIF primary key (ID),
  constraint FK_GOLD_TARIF_ME_TYPE foreign key (ID_ME_TYPE) references DIR_DRAGME_TYPE (ID)
);

create index GOLD_TARIF_IDX_PROB_NAME on GOLD_TARIF (PROB_NAME);

-- Standard pledged-item names per pledge type with their usual piece count.
create generator GEN_DEPOSIT_SUBJECTS_ID;

create table DEPOSIT_SUBJECTS (
  ID              integer not null,
  NAME            varchar(255) not null,
  DEPOSIT_TYPE_ID integer not null,
  ITEMS_COUNT     integer,
  constraint PK_DEPOSIT_SUBJECTS primary key (ID),
  constraint FK_DEPOSIT_SUBJECTS_TYPE foreign key (DEPOSIT_TYPE_ID) references DEPOSIT_TYPES (ID)
);

create index IDX_DEPOSIT_SUBJECTS_TYPE_NAME on DEPOSIT_SUBJECTS (DEPOSIT_TYPE_ID, NAME);

-- Remembered passport issuing authorities (the pick list of the client directory).
create generator GEN_PASPORT_DATA_ID;

create table PASPORT_DATA (
  ID   integer not null,
  DATA varchar(255) not null,
  constraint PK_PASPORT_DATA primary key (ID)
);

-- Scales of contract terms, by the client's loan sum and by the term in days. Unlike the contract,
-- these hold currency units and percents per day as decimals; every value is required.
create generator GEN_AUTO_PERC_SUM_ID;

create table AUTO_PERC_SUM (
  ID                     integer not null,
  SUM_FROM               numeric(15, 2) not null,
  PERC                   numeric(15, 4) not null,
  MIN_ACCRUAL_DAYS       integer default 0 not null,
  IS_PERC_W_PEN_START    smallint default 0 not null,
  PENALTY_PERC           numeric(15, 4) not null,
  IS_PENAL_FROM_RET_SUM  smallint default 0 not null,
  STORAGE_TYPE           smallint default 1 not null,
  STORAGE_VAL            numeric(15, 4) default 0 not null,
  IS_STORAGE_START_W_PEN smallint default 0 not null,
  MIN_STORAGE_DAYS       integer default 0 not null,
  constraint PK_AUTO_PERC_SUM primary key (ID)
);

create index AUTO_PERC_SUM_SUMFROM on AUTO_PERC_SUM (SUM_FROM);

create generator GEN_AUTO_PERC_DAYS_ID;

create table AUTO_PERC_DAYS (
  ID                     integer not null,
  DAYS                   integer not null,
  CREDIT_PERC            numeric(15, 4) not null,
  PERC                   numeric(15, 4) not null,
  MIN_ACCRUAL_DAYS       integer default 0 not null,
  IS_PERC_W_PEN_START    smallint default 0 not null,
  PENALTY_PERC           numeric(15, 4) not null,
  IS_PENAL_FROM_RET_SUM  smallint default 0 not null,
  STORAGE_TYPE           smallint default 1 not null,
  STORAGE_VAL            numeric(15, 4) default 0 not null,
  IS_STORAGE_START_W_PEN smallint default 0 not null,
  MIN_STORAGE_DAYS       integer default 0 not null,
  constraint PK_AUTO_PERC_DAYS primary key (ID)
);

create index AUTO_PERC_DAYS_DAYS on AUTO_PERC_DAYS (DAYS);

-- The contract head. The program takes new keys from GEN_CONTRACTS_ID itself. CLIENT_ID has no
-- key: -1 means "no client", and contracts of other branches keep their client as text in
-- CONTRACT_IMPORT. Contract numbers are checked for uniqueness by the program, per branch.
-- MODIFY_DATE is kept by the database; the branch export selects by it. ID_NATIVE is the key the
-- row has in the branch database it was imported from. A branch with contracts cannot be deleted.
create generator GEN_CONTRACTS_ID;

create table PENALTY_CONTRACTS (
  CONTRACT_ID    integer not null,
  CLIENT_ID      integer,
  AGENT_ID       integer,
  CONTRACT_DATE  date not null,
  CONTRACT_STATE smallint default 0 not null,
  NOTE           varchar(255),
  CONTRACT_CLOSE date,
  CONTRACT_NUM   varchar(80),
  FILIAL_ID      integer,
  IS_ARCHIVE     smallint default 0 not null,
  MODIFY_DATE    timestamp,
  ID_NATIVE      integer,
  constraint PK_PENALTY_CONTRACTS primary key (CONTRACT_ID),
  constraint FK_PENALTY_CONTRACTS_FILIAL foreign key (FILIAL_ID) references DIR_FILIAL (ID)
);

create index IDX_PENALTY_CONTRACTS_NUM on PENALTY_CONTRACTS (FILIAL_ID, CONTRACT_NUM);
create descending index IDX_PENALTY_CONTRACTS_DATE on PENALTY_CONTRACTS (CONTRACT_DATE, CONTRACT_ID);
create index IDX_PENALTY_CONTRACTS_CLIENT on PENALTY_CONTRACTS (CLIENT_ID, CONTRACT_STATE);
create index IDX_PENALTY_CONTRACTS_AGENT on PENALTY_CONTRACTS (AGENT_ID);
create index IDX_PENALTY_CONTRACTS_CLOSE on PENALTY_CONTRACTS (CONTRACT_CLOSE);
create index IDX_PENALTY_CONTRACTS_MODIFY on PENALTY_CONTRACTS (MODIFY_DATE);
create index IDX_PENALTY_CONTRACTS_NATIVE on PENALTY_CONTRACTS (ID_NATIVE);
create index IDX_PENALTY_CONTRACTS_STATE on PENALTY_CONTRACTS (CONTRACT_STATE);
-- The list searches numbers upper-cased; only the engine's upper() can back an index.
create index IDX_PENALTY_CONTRACTS_NUM_UP on PENALTY_CONTRACTS computed by (upper(CONTRACT_NUM));

-- The loan terms, one row per contract. The debt calculation reads every number as an integer,
-- so none may be NULL; DEPOSIT_TYPE alone may be missing (read as 0). DEPOSIT_PLACE refers to
-- PLACES without a key: a new contract may hold -1 until a place is picked.
create table PENALTY_DEPOSITS (
  CONTRACT_ID                  integer not null,
  DEPOSIT_SUM                  integer default 0 not null,
  PENALTY_DAYS                 integer default 0 not null,
  DEPOSIT_PERC                 integer default 0 not null,
  PENALTY_PERC                 integer default 0 not null,
  DEPOSIT_PLACE                integer default 0 not null,
  DOLLAR_PRICE                 integer default 0 not null,
  SUBJECT_PRICE                integer default 0 not null,
  OFF_FLAG                     smallint default 0 not null,
  IS_CALC_PERC_WITH_PENALTY    smallint default 0 not null,
  EXCEED_DAYS                  integer default 0 not null,
  IS_PRIV_IN_EXCEED            smallint default 0 not null,
  IS_PENAL_FROM_RET_SUM        smallint default 0 not null,
  MIN_ACCRUAL_DAYS             integer default 0 not null,
  STORAGE_TYPE                 smallint default 0 not null,
  STORAGE_VAL                  integer default 0 not null,
  IS_STORAGE_START_W_PEN       smallint default 0 not null,
  STORAGE_MIN_DAYS             integer default 0 not null,
  STORAGE_SUM                  integer default 0 not null,
  IS_USD_EXCHANGE              smallint default 0 not null,
  IS_MAKE_EXCHANGE_BY_INCREASE smallint default 0 not null,
  DEPOSIT_TYPE                 integer,
  constraint PK_PENALTY_DEPOSITS primary key (CONTRACT_ID),
  constraint FK_PENALTY_DEPOSITS foreign key (CONTRACT_ID) references PENALTY_CONTRACTS (CONTRACT_ID)
    on delete cascade
);

create index IDX_PENALTY_DEPOSITS_TYPE on PENALTY_DEPOSITS (DEPOSIT_TYPE);

-- Client, user and storage place of a contract taken over from another branch, as text; written
-- only by the branch import. Widths follow CLIENTS, AGENTS and PLACES, whose values they copy.
create table CONTRACT_IMPORT (
  CONTRACT_ID          integer not null,
  CLIENT_NAME          varchar(80),
  CLIENT_ADDRESS       varchar(255),
  CLIENT_PHONE         varchar(40),
  CLIENT_INFO          varchar(255),
  CLIENT_INN           varchar(20),
  CLIENT_PASSPORT_SN   varchar(20),
  CLIENT_PASSPORT_NUM  varchar(20),
  CLIENT_PASSPORT_INFO varchar(255),
  CLIENT_PASSPORT_DATE varchar(255),
  AGENT_NAME           varchar(80),
  KASSIR_ID            varchar(4),
  DEPOSIT_PLACE        varchar(255),
  constraint PK_CONTRACT_IMPORT primary key (CONTRACT_ID),
  constraint FK_CONTRACT_IMPORT foreign key (CONTRACT_ID) references PENALTY_CONTRACTS (CONTRACT_ID)
    on delete cascade
);

-- Repayments (OP_SUM >= 0) and loan increases (OP_SUM < 0). The program takes new keys from
-- GEN_OPERATIONS_ID. The OP_REST_ columns are the debt checkpoint left after the operation;
-- OP_REST_BASE NULL means there is none.
create generator GEN_OPERATIONS_ID;

create table PENALTY_OPERATIONS (
  OP_ID           integer not null,
  DEPOSIT_ID      integer not null,
  OP_SUM          integer default 0 not null,
  OP_STORAGE_SUM  integer default 0 not null,
  OP_PERC_SUM     integer default 0 not null,
  OP_PENALTY_SUM  integer default 0 not null,
  OP_INFO         varchar(255),
  OP_DATE         date not null,
  NON_CALC_DAYS   integer default 0 not null,
  OP_REST_PERC    integer,
  OP_REST_STORAGE integer,
  OP_REST_PENALTY integer,
  OP_REST_BASE    integer,
  ID_NATIVE       integer,
  constraint PK_PENALTY_OPERATIONS primary key (OP_ID),
  constraint FK_PENALTY_OPERATIONS foreign key (DEPOSIT_ID) references PENALTY_CONTRACTS (CONTRACT_ID)
    on delete cascade
);

create index IDX_PENALTY_OPERATIONS_RUN on PENALTY_OPERATIONS (DEPOSIT_ID, OP_DATE, OP_ID);
create index IDX_PENALTY_OPERATIONS_DATE on PENALTY_OPERATIONS (OP_DATE);
create index IDX_PENALTY_OPERATIONS_NATIVE on PENALTY_OPERATIONS (ID_NATIVE);

-- The sale of a forfeited pledge: the debts at the sale, the parts of the sale sum that cover
-- them and the money given back (negative when the sum fell short).
create table SALES (
  AGENT_ID          integer,
  CONTRACT_ID       integer not null,
  SALE_SUM          integer default 0,
  SALE_BASE         integer default 0,
  SALE_STORAGE      integer default 0,
  SALE_PERC         integer default 0,
  SALE_PENALTY      integer default 0,
  BASE_SUM          integer default 0,
  STORAGE_SUM       integer default 0,
  PERC_SUM          integer default 0,
  PENALTY_SUM       integer default 0,
  SALE_INFO         varchar(255),
  MONEY_BACK_SUM    integer default 0,
  IS_CREATE_WARRANT smallint default 0,
  constraint PK_SALES primary key (CONTRACT_ID),
  constraint FK_SALES foreign key (CONTRACT_ID) references PENALTY_CONTRACTS (CONTRACT_ID)
    on delete cascade
);

-- A pledge put up for sale. NON_CALC_DAYS 1: the day itself is not counted in the accruals.
create table TOSALE (
  AGENT_ID      integer,
  CONTRACT_ID   integer not null,
  TOSALE_SUM    integer default 0,
  TOSALE_INFO   varchar(255),
  TOSALE_DATE   date not null,
  NON_CALC_DAYS integer default 0 not null,
  constraint PK_TOSALE primary key (CONTRACT_ID),
  constraint FK_TOSALE foreign key (CONTRACT_ID) references PENALTY_CONTRACTS (CONTRACT_ID)
    on delete cascade
);

create index IDX_TOSALE_DATE on TOSALE (TOSALE_DATE);

-- Pledged items (the program takes new keys from GEN_SUBJECTS_ID) and the precious-metal details
-- of an item: assay, prices per gram, total weight and the weight of gems, in grams. The item list
-- deletes only the SUBJECTS row; its details go with it. A tariff that is deleted only unlinks
-- the items that took their assay from it.
create generator GEN_SUBJECTS_ID;

create table SUBJECTS (
  ID          integer not null,
  ID_CONTRACT integer not null,
  NAME        varchar(255) not null,
  ITEMS_COUNT integer default 1,
  PRICE       integer default 0,
  DEPOSIT_SUM integer default 0,
  ID_NATIVE   integer,
  constraint PK_SUBJECTS primary key (ID),
  constraint FK_SUBJECTS foreign key (ID_CONTRACT) references PENALTY_CONTRACTS (CONTRACT_ID)
    on delete cascade
);

create index IDX_SUBJECTS_NATIVE on SUBJECTS (ID_NATIVE);

create table SUBJECTS_GOLD (
  ID               integer not null,
  ID_PROB          integer,
  PROB_NAME        varchar(80),
  PRICE_PER_GRAM   integer default 0,
  DEPOSIT_PER_GRAM integer default 0,
  WEIGHT           double precision default 0,
  WEIGHT_GEM       double precision default 0,
  constraint PK_SUBJECTS_GOLD primary key (ID),
  constraint FK_SUBJECTS_GOLD foreign key (ID) references SUBJECTS (ID) on delete cascade,
  constraint FK_SUBJECTS_GOLD_PROB foreign key (ID_PROB) references GOLD_TARIF (ID) on delete set null
);

-- Dollar rate per branch and day. The branch import brings only DATA and USD_EXCHANGE and adds a
-- row for every line, so ID_FILIAL may be NULL and a day may repeat. The descending index serves
-- the "latest earlier day" lookup.
create generator GEN_DIR_EXCHANGE_ID;

create table DIR_EXCHANGE (
  ID           integer not null,
  ID_FILIAL    integer,
  USD_EXCHANGE integer default 0 not null,
  DATA         date not null,
  constraint PK_DIR_EXCHANGE primary key (ID)
);

create descending index IDX_DIR_EXCHANGE_DAY on DIR_EXCHANGE (ID_FILIAL, DATA);

-- The triggers below are made by statements that must see the tables above.
commit;

-- Keys the database assigns when a row arrives without one; MODIFY_DATE kept current.
execute procedure MAKE_KEY_TRIGGER('DEPOSIT_TYPES', 'ID', 'GEN_DEPOSIT_TYPES_ID');
execute procedure MAKE_KEY_TRIGGER('DIR_DRAGME_TYPE', 'ID', 'GEN_DIR_DRAGME_TYPE_ID');
execute procedure MAKE_KEY_TRIGGER('GOLD_TARIF', 'ID', 'GEN_GOLD_TARIF_ID');
execute procedure MAKE_KEY_TRIGGER('DEPOSIT_SUBJECTS', 'ID', 'GEN_DEPOSIT_SUBJECTS_ID');
execute procedure MAKE_KEY_TRIGGER('PASPORT_DATA', 'ID', 'GEN_PASPORT_DATA_ID');
execute procedure MAKE_KEY_TRIGGER('AUTO_PERC_SUM', 'ID', 'GEN_AUTO_PERC_SUM_ID');
execute procedure MAKE_KEY_TRIGGER('AUTO_PERC_DAYS', 'ID', 'GEN_AUTO_PERC_DAYS_ID');
execute procedure MAKE_KEY_TRIGGER('DIR_EXCHANGE', 'ID', 'GEN_DIR_EXCHANGE_ID');
execute procedure MAKE_MODIFY_DATE_TRIGGER('PENALTY_CONTRACTS');
