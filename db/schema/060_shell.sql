-- Version of the database. The program reads VER_NUM of the row with the greatest ID and
-- compares its last dot-separated number with its own build number; upgrade scripts add rows.
create table DB_VERSION (
  ID      integer not null,
  VER_NUM varchar(30),
  constraint PK_DB_VERSION primary key (ID)
);
