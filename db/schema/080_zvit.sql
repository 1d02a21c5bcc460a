-- Regulatory financial report: the reports and their child rows, one of each per report. The
-- children get their keys from the database; deleting a report deletes only its ZVIT_REPORTS row,
-- so the children go with it.

create generator GEN_ZVIT_REPORTS_ID;

-- REP_TYPE: 0 quarterly, 1 monthly, 2 custom period; E_DATE inclusive.
create table ZVIT_REPORTS (
  ID        integer not null,
  REP_TYPE  smallint not null,
  B_DATE    date not null,
  E_DATE    date not null,
  LODG_DATE date,
  constraint PK_ZVIT_REPORTS primary key (ID),
  constraint UNQ_ZVIT_REPORTS_PERIOD unique (REP_TYPE, B_DATE, E_DATE)
);

-- Company details. The row with ID 1 is the office's own (no report); a report keeps a copy of it
-- taken at its first save. Every column but ID may be empty: the row 1 is created with its key only.
create generator GEN_ZVIT_COMPANY_ID;

create table ZVIT_COMPANY (
  ID          integer not null,
  EDR_CD      varchar(12),
  FULL_NM     varchar(150),
  REG_NM      varchar(30),
  POST_CD     varchar(5),
  REG_PART    varchar(25),
  CITY_NM     varchar(100),
  STR_NM      varchar(100),
  BULD_N      varchar(20),
  ICTEL_CD    varchar(7),
  PHN_N       varchar(7),
  FAX_N       varchar(7),
  SN_SVIS     varchar(100),
  N_SVIS      varchar(100),
  MN_SVIS     varchar(100),
  CHACC_SN    varchar(100),
  CHACC_NM    varchar(100),
  CHACC_MN    varchar(100),
  SUB_DEP_CNT integer,
  ID_REPORT   integer,
  constraint PK_ZVIT_COMPANY primary key (ID),
  constraint UNQ_ZVIT_COMPANY_REPORT unique (ID_REPORT),
  constraint FK_ZVIT_COMPANY foreign key (ID_REPORT) references ZVIT_REPORTS (ID) on delete cascade
);

-- Balance sheet: start (_03) and end (_04) of the period per line, in hundredths. A balance may
-- pass the 32-bit range, hence BIGINT. A new row holds zeros.
create generator GEN_ZVIT_BALANCE_ID;

create table ZVIT_BALANCE (
  ID        integer not null,
  ID_REPORT integer,
  BP010_03 bigint default 0 not null,
  BP010_04 bigint default 0 not null,
  BP020_03 bigint default 0 not null,
  BP020_04 bigint default 0 not null,
  BP030_03 bigint default 0 not null,
  BP030_04 bigint default 0 not null,
  BP040_03 bigint default 0 not null,
  BP040_04 bigint default 0 not null,
  BP050_03 bigint default 0 not null,
  BP050_04 bigint default 0 not null,
  BP060_03 bigint default 0 not null,
  BP060_04 bigint default 0 not null,
  BP061_03 bigint default 0 not null,
  BP061_04 bigint default 0 not null,
  BP062_03 bigint default 0 not null,
  BP062_04 bigint default 0 not null,
  BP063_03 bigint default 0 not null,
  BP063_04 bigint default 0 not null,
  BP064_03 bigint default 0 not null,
  BP064_04 bigint default 0 not null,
  BP065_03 bigint default 0 not null,
  BP065_04 bigint default 0 not null,
  BP070_03 bigint default 0 not null,
  BP070_04 bigint default 0 not null,
  BP080_03 bigint default 0 not null,
  BP080_04 bigint default 0 not null,
  BP090_03 bigint default 0 not null,
  BP090_04 bigint default 0 not null,
  BP091_03 bigint default 0 not null,
  BP091_04 bigint default 0 not null,
  BP092_03 bigint default 0 not null,
  BP092_04 bigint default 0 not null,
  BP093_03 bigint default 0 not null,
  BP093_04 bigint default 0 not null,
  BP094_03 bigint default 0 not null,
  BP094_04 bigint default 0 not null,
  BP095_03 bigint default 0 not null,
  BP095_04 bigint default 0 not null,
  BP096_03 bigint default 0 not null,
  BP096_04 bigint default 0 not null,
  BP097_03 bigint default 0 not null,
  BP097_04 bigint default 0 not null,
  BP100_03 bigint default 0 not null,
  BP100_04 bigint default 0 not null,
  BP110_03 bigint default 0 not null,
  BP110_04 bigint default 0 not null,
  BP120_03 bigint default 0 not null,
  BP120_04 bigint default 0 not null,
  BP121_03 bigint default 0 not null,
  BP121_04 bigint default 0 not null,
  BP122_03 bigint default 0 not null,
  BP122_04 bigint default 0 not null,
  BP123_03 bigint default 0 not null,
  BP123_04 bigint default 0 not null,
  BP130_03 bigint default 0 not null,
  BP130_04 bigint default 0 not null,
  BP131_03 bigint default 0 not null,
  BP131_04 bigint default 0 not null,
  BP132_03 bigint default 0 not null,
  BP132_04 bigint default 0 not null,
  BP133_03 bigint default 0 not null,
  BP133_04 bigint default 0 not null,
  BP134_03 bigint default 0 not null,
  BP134_04 bigint default 0 not null,
  BP140_03 bigint default 0 not null,
  BP140_04 bigint default 0 not null,
  BP150_03 bigint default 0 not null,
  BP150_04 bigint default 0 not null,
  BP160_03 bigint default 0 not null,
  BP160_04 bigint default 0 not null,
  constraint PK_ZVIT_BALANCE primary key (ID),
  constraint UNQ_ZVIT_BALANCE_REPORT unique (ID_REPORT),
  constraint FK_ZVIT_BALANCE foreign key (ID_REPORT) references ZVIT_REPORTS (ID) on delete cascade
);

-- Results statement: BP010 to BP099 in hundredths, BP100 to BP110 counts of contracts, and the
-- mean interest rate of BP120 for the period (_03) and since 1 January (_04), in percent.
create generator GEN_ZVIT_RESULTS_ID;

create table ZVIT_RESULTS (
  ID        integer not null,
  ID_REPORT integer,
  BP010_03 integer default 0 not null,
  BP011_03 integer default 0 not null,
  BP012_03 integer default 0 not null,
  BP013_03 integer default 0 not null,
  BP014_03 integer default 0 not null,
  BP015_03 integer default 0 not null,
  BP016_03 integer default 0 not null,
  BP017_03 integer default 0 not null,
  BP020_03 integer default 0 not null,
  BP030_03 integer default 0 not null,
  BP031_03 integer default 0 not null,
  BP040_03 integer default 0 not null,
  BP050_03 integer default 0 not null,
  BP051_03 integer default 0 not null,
  BP060_03 integer default 0 not null,
  BP061_03 integer default 0 not null,
  BP070_03 integer default 0 not null,
  BP080_03 integer default 0 not null,
  BP081_03 integer default 0 not null,
  BP082_03 integer default 0 not null,
  BP083_03 integer default 0 not null,
  BP084_03 integer default 0 not null,
  BP085_03 integer default 0 not null,
  BP086_03 integer default 0 not null,
  BP087_03 integer default 0 not null,
  BP088_03 integer default 0 not null,
  BP090_03 integer default 0 not null,
  BP091_03 integer default 0 not null,
  BP092_03 integer default 0 not null,
  BP093_03 integer default 0 not null,
  BP094_03 integer default 0 not null,
  BP095_03 integer default 0 not null,
  BP096_03 integer default 0 not null,
  BP097_03 integer default 0 not null,
  BP098_03 integer default 0 not null,
  BP099_03 integer default 0 not null,
  BP100_03 integer default 0 not null,
  BP101_03 integer default 0 not null,
  BP102_03 integer default 0 not null,
  BP103_03 integer default 0 not null,
  BP104_03 integer default 0 not null,
  BP105_03 integer default 0 not null,
  BP106_03 integer default 0 not null,
  BP107_03 integer default 0 not null,
  BP110_03 integer default 0 not null,
  BP120_03 float default 0 not null,
  BP120_04 float default 0 not null,
  constraint PK_ZVIT_RESULTS primary key (ID),
  constraint UNQ_ZVIT_RESULTS_REPORT unique (ID_REPORT),
  constraint FK_ZVIT_RESULTS foreign key (ID_REPORT) references ZVIT_REPORTS (ID) on delete cascade
);

-- The triggers below are made by statements that must see the tables above.
commit;

execute procedure MAKE_KEY_TRIGGER('ZVIT_COMPANY', 'ID', 'GEN_ZVIT_COMPANY_ID');
execute procedure MAKE_KEY_TRIGGER('ZVIT_BALANCE', 'ID', 'GEN_ZVIT_BALANCE_ID');
execute procedure MAKE_KEY_TRIGGER('ZVIT_RESULTS', 'ID', 'GEN_ZVIT_RESULTS_ID');

set term ^ ;
-- Key 1 of ZVIT_COMPANY belongs to the office's own row, which the program inserts by that key
-- when it is missing; copies start at 2.
execute block
as
declare variable RESERVED integer;
begin
  RESERVED = gen_id(GEN_ZVIT_COMPANY_ID, 1);
end^
set term ; ^
