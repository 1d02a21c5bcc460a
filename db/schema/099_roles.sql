-- Server roles and their rights. Every program user connects with one of them: managers with
-- MASTERROLE, agents (cashiers) with AGENTROLE. This file runs last, so the grants cover every
-- table, generator, function and procedure made before it.
--
-- Tables fall into four groups:
--   read only for both roles: the fixed directories, the version, the change log (the database
--     alone writes it) and its table names;
--   written by managers only, read by agents: users, pledge types, kinds of precious metal, the
--     scales of contract terms and the regulatory report;
--   branches: agents read them and advance their number counters;
--   everything else: read and written by both roles.
-- Generators may be used and routines executed by both roles.

-- The helpers that built the repeated triggers have done their work.
drop procedure MAKE_LOG_TRIGGER;
drop procedure MAKE_MODIFY_DATE_TRIGGER;
drop procedure MAKE_KEY_TRIGGER;

create role MASTERROLE;
create role AGENTROLE;
-- The grants below must see the roles.
commit;

set term ^ ;
execute block
as
declare variable OBJECT_NAME varchar(63);
declare variable READ_ONLY varchar(1000);
declare variable MANAGERS_WRITE varchar(1000);
declare variable MASTER_RIGHTS varchar(100);
declare variable AGENT_RIGHTS varchar(100);
declare variable OBJECT_RIGHT varchar(100);
begin
  READ_ONLY = ',LOG,TABLES_TABLE,DB_VERSION,CONTRACT_STATES,CONTRACT_STATES_LANGS,STORAGE_TYPES,'
    || 'STORAGE_TYPES_LANGS,WARRANT_TYPES,WARRANT_TYPES_LANGS,AGENTS_GROUP,AGENTS_GROUP_LANGS,';
  MANAGERS_WRITE = ',AGENTS,DEPOSIT_TYPES,DEPOSIT_TYPES_LANGS,DIR_DRAGME_TYPE,AUTO_PERC_SUM,AUTO_PERC_DAYS,'
    || 'ZVIT_REPORTS,ZVIT_BALANCE,ZVIT_RESULTS,';

  for select trim(RDB$RELATION_NAME) from RDB$RELATIONS
       where coalesce(RDB$SYSTEM_FLAG, 0) = 0 and RDB$VIEW_BLR is null
        into :OBJECT_NAME
  do
  begin
    MASTER_RIGHTS = 'select, insert, update, delete';
    AGENT_RIGHTS = MASTER_RIGHTS;
    if (position(',' || OBJECT_NAME || ',' in READ_ONLY) > 0) then
    begin
      MASTER_RIGHTS = 'select';
      AGENT_RIGHTS = 'select';
    end
    else if (position(',' || OBJECT_NAME || ',' in MANAGERS_WRITE) > 0) then
      AGENT_RIGHTS = 'select';
    else if (OBJECT_NAME = 'DIR_FILIAL') then
      AGENT_RIGHTS = 'select, update';
    execute statement 'grant ' || MASTER_RIGHTS || ' on ' || OBJECT_NAME || ' to role MASTERROLE';
    execute statement 'grant ' || AGENT_RIGHTS || ' on ' || OBJECT_NAME || ' to role AGENTROLE';
  end

  -- Generators, functions and procedures other than the log writer (report procedures come with
  -- their reports).
  for select 'usage on generator ' || trim(RDB$GENERATOR_NAME) from RDB$GENERATORS
       where coalesce(RDB$SYSTEM_FLAG, 0) = 0
      union all
      select 'execute on function ' || trim(RDB$FUNCTION_NAME) from RDB$FUNCTIONS
       where coalesce(RDB$SYSTEM_FLAG, 0) = 0 and RDB$PACKAGE_NAME is null
      union all
      select 'execute on procedure ' || trim(RDB$PROCEDURE_NAME) from RDB$PROCEDURES
       where coalesce(RDB$SYSTEM_FLAG, 0) = 0 and RDB$PACKAGE_NAME is null and RDB$PROCEDURE_NAME <> 'WRITE_LOG'
        into :OBJECT_RIGHT
  do
  begin
    execute statement 'grant ' || OBJECT_RIGHT || ' to role MASTERROLE';
    execute statement 'grant ' || OBJECT_RIGHT || ' to role AGENTROLE';
  end

  -- The change log is written by the log triggers through WRITE_LOG, never by a user.
  execute statement 'grant insert on LOG to procedure WRITE_LOG';
  for select trim(RDB$TRIGGER_NAME) from RDB$TRIGGERS
       where coalesce(RDB$SYSTEM_FLAG, 0) = 0 and trim(RDB$TRIGGER_NAME) like '%\_LOG' escape '\'
        into :OBJECT_NAME
  do
    execute statement 'grant execute on procedure WRITE_LOG to trigger ' || OBJECT_NAME;
end^
set term ; ^
