-- Contract desk: clients, program users and their groups, storage places, additional services
-- and deferral applications. Keys of clients, users, places and services are assigned by the
-- database: the program inserts them with NULL or 0.

-- Clients. Widths the program does not fix: address 255, phone 40, tax number and passport
-- series and number 20. The passport date is free text, typed as the client's paper shows it.
create generator GEN_CLIENTS_ID;

create table CLIENTS (
  CLIENT_NAME          varchar(80),
  CLIENT_ADDRESS       varchar(255),
  CLIENT_PHONE         varchar(40),
  CLIENT_INFO          varchar(255),
  CLIENT_ID            integer not null,
  CLIENT_INN           varchar(20),
  CLIENT_PASSPORT_SN   varchar(20),
  CLIENT_PASSPORT_NUM  varchar(20),
  CLIENT_PASSPORT_INFO varchar(255),
  CLIENT_PASSPORT_DATE varchar(255),
  constraint PK_CLIENTS primary key (CLIENT_ID)
);

create index CLIENT_NAME_IDX on CLIENTS (CLIENT_NAME);
create index CLIENT_ADDRESS_IDX on CLIENTS (CLIENT_ADDRESS);

-- User groups: 0 agents, 1 managers. Fixed rows.
create table AGENTS_GROUP (
  GROUP_ID integer not null,
  constraint PK_AGENTS_GROUP primary key (GROUP_ID)
);

create table AGENTS_GROUP_LANGS (
  ID_REC     integer not null,
  ID_LANG    integer not null,
  GROUP_NAME varchar(80),
  constraint PK_AGENTS_GROUP_LANGS primary key (ID_REC, ID_LANG),
  constraint FK_AGENTS_GROUP_LANGS foreign key (ID_REC) references AGENTS_GROUP (GROUP_ID)
);

-- Program users; each is also a server user whose name is AGENT_LOGIN (31 characters, as the
-- server allows). The password lives on the server only: AGENT_PASSWORD holds a mask.
-- KASSIR_ID is the cashier number of the fiscal register.
create generator GEN_AGENTS_ID;

create table AGENTS (
  AGENT_ID       integer not null,
  AGENT_NAME     varchar(80) not null,
  AGENT_LOGIN    varchar(31) not null,
  AGENT_PASSWORD varchar(31),
  GROUP_ID       integer not null,
  KASSIR_ID      varchar(4),
  constraint PK_AGENTS primary key (AGENT_ID),
  constraint FK_AGENTS_GROUP foreign key (GROUP_ID) references AGENTS_GROUP (GROUP_ID)
);

create index AGENT_NAME_IDX on AGENTS (AGENT_NAME);
create index AGENT_GROUP_IDX on AGENTS (GROUP_ID);
create index AGENT_LOGIN_IDX on AGENTS (AGENT_LOGIN);

-- Storage places of pledges.
create generator GEN_PLACES_ID;

create table PLACES (
  PLACE_ID   integer not null,
  PLACE_NAME varchar(255) not null,
  constraint PK_PLACES primary key (PLACE_ID)
);

-- Additional services. ID_EVENT: 0 contract made, 1 repayment, 2 loan increase, 3 taken off
-- sale, 4 contract closed. CODE marks the income the regulatory report counts: empty,
-- "VALUATION" or "INSURE" (20 characters). ARTICLE_NUM is the article on fiscal receipts.
create generator GEN_DIR_ADD_SERVICES_ID;

create table DIR_ADD_SERVICES (
  ID          integer not null,
  NAME        varchar(255),
  ID_EVENT    integer not null,
  FORMULA     varchar(255),
  IS_ACTIVE   smallint default 1,
  ARTICLE_NUM integer,
  CODE        varchar(20),
  constraint PK_DIR_ADD_SERVICES primary key (ID)
);

-- Services charged. ID_OBJ is a contract (events 0 and 3) or an operation (events 1, 2 and 4),
-- -1 while the object is not stored yet; hence no key. PRICE >= 0 is paid by the client,
-- below 0 paid out. ID_SERVICE has no key either: an imported row may keep the branch's service.
create generator GEN_ADD_SERVICES_ID;

create table ADD_SERVICES (
  ID         integer not null,
  ID_SERVICE integer,
  NAME       varchar(255),
  ID_OBJ     integer,
  DATA       date,
  PRICE      integer default 0,
  ID_NATIVE  integer,
  constraint PK_ADD_SERVICES primary key (ID)
);

create index IDX_ADD_SERVICES_OBJ on ADD_SERVICES (ID_OBJ);
create index IDX_ADD_SERVICES_DATA on ADD_SERVICES (DATA);
create index IDX_ADD_SERVICES_SERVICE on ADD_SERVICES (ID_SERVICE);
create index IDX_ADD_SERVICES_NATIVE on ADD_SERVICES (ID_NATIVE);

-- Deferral application of a contract, at most one.
create table ZAYAVLENIYA (
  CONTRACT_ID integer not null,
  DATE_CUR    date,
  DATE_TO     date,
  NOTE        varchar(255),
  constraint PK_ZAYAVLENIYA primary key (CONTRACT_ID),
  constraint FK_ZAYAVLENIYA foreign key (CONTRACT_ID) references PENALTY_CONTRACTS (CONTRACT_ID)
    on delete cascade
);

-- The triggers below are made by statements that must see the tables above.
commit;

execute procedure MAKE_KEY_TRIGGER('CLIENTS', 'CLIENT_ID', 'GEN_CLIENTS_ID');
execute procedure MAKE_KEY_TRIGGER('AGENTS', 'AGENT_ID', 'GEN_AGENTS_ID');
execute procedure MAKE_KEY_TRIGGER('PLACES', 'PLACE_ID', 'GEN_PLACES_ID');
execute procedure MAKE_KEY_TRIGGER('DIR_ADD_SERVICES', 'ID', 'GEN_DIR_ADD_SERVICES_ID');
execute procedure MAKE_KEY_TRIGGER('ADD_SERVICES', 'ID', 'GEN_ADD_SERVICES_ID');

set term ^ ;
-- Services go with their object. ID_OBJ alone does not say whether it is a contract or an
-- operation; the event of the service does.
create trigger PENALTY_CONTRACTS_AD_SERVICES for PENALTY_CONTRACTS active after delete position 0
as
begin
  delete from ADD_SERVICES A
   where A.ID_OBJ = old.CONTRACT_ID
     and A.ID_SERVICE in (select D.ID from DIR_ADD_SERVICES D where D.ID_EVENT in (0, 3));
end^

create trigger PENALTY_OPERATIONS_AD_SERVICES for PENALTY_OPERATIONS active after delete position 0
as
begin
  delete from ADD_SERVICES A
   where A.ID_OBJ = old.OP_ID
     and A.ID_SERVICE in (select D.ID from DIR_ADD_SERVICES D where D.ID_EVENT in (1, 2, 4));
end^
set term ; ^
