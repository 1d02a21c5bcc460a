-- Functions that statements of the program call inside SQL text, and the helpers that build the
-- repeated triggers of the schema files.

-- ROUNDTO(x, n): x rounded to the power of ten n, as the statements write it: n = -2 keeps two
-- decimals, n = 0 gives a whole number, n = 2 rounds to hundreds. Halves go away from zero.
-- NULL gives NULL. PSQL, because external functions are disabled on the server.
set term ^ ;
create function ROUNDTO(X double precision, N integer) returns double precision
as
begin
  return round(:X, -:N);
end^

-- Key trigger <table>_BI: a row that arrives without a key (NULL or 0) takes the next value of the
-- generator. Used while the schema is built; dropped at its end.
create procedure MAKE_KEY_TRIGGER (TABLE_NAME varchar(63), KEY_NAME varchar(63), GEN_NAME varchar(63))
as
begin
  execute statement
    'create trigger ' || TABLE_NAME || '_BI for ' || TABLE_NAME || ' active before insert position 0 as '
    || 'begin if (new.' || KEY_NAME || ' is null or new.' || KEY_NAME || ' = 0) then new.' || KEY_NAME
    || ' = gen_id(' || GEN_NAME || ', 1); end';
end^

-- MODIFY_DATE trigger <table>_MODIFY: the moment of every insert and update. An update that sets
-- the column itself (the export of acts stamps its own moment, and so may a repair) keeps the
-- value it set. Used while the schema is built; dropped at its end.
create procedure MAKE_MODIFY_DATE_TRIGGER (TABLE_NAME varchar(63))
as
begin
  execute statement
    'create trigger ' || TABLE_NAME || '_MODIFY for ' || TABLE_NAME
    || ' active before insert or update position 1 as '
    || 'begin if (inserting or new.MODIFY_DATE is not distinct from old.MODIFY_DATE) then '
    || 'new.MODIFY_DATE = current_timestamp; end';
end^
set term ; ^
