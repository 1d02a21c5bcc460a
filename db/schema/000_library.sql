-- Settings kept in the database: one row per section and name; a NULL value means "use the default".
create table INI (
  SECTION varchar(64) not null,
  NAME    varchar(64) not null,
  VAL     varchar(2000),
  constraint PK_INI primary key (SECTION, NAME)
);

-- Upper-cases every letter, Russian and Ukrainian included, exactly as the program does, so that
-- searches compare like with like. PSQL, because external functions are disabled on the server.
set term ^ ;
create function UPCASE(S varchar(8191)) returns varchar(8191)
as
begin
  return upper(:S);
end^
set term ; ^
