-- Change log. The database writes it from triggers; the program only reads it in the user-log
-- report. LOG_TYPE: 1 added, 2 changed, 3 deleted. LOG_USER is the server user (the login).
create table LOG (
  LOG_DATE  timestamp,
  LOG_TABLE varchar(63),
  LOG_USER  varchar(63),
  LOG_INFO  varchar(1000),
  LOG_TYPE  smallint
);

create index IDX_LOG_DATE on LOG (LOG_DATE);

-- Readable names of the logged tables for the report's table filter.
create table TABLES_TABLE (
  DBTABLE    varchar(80) not null,
  TABLE_NAME varchar(80),
  constraint PK_TABLES_TABLE primary key (DBTABLE)
);

insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('PENALTY_CONTRACTS', 'Договоры');
insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('PENALTY_OPERATIONS', 'Операции по договорам');
insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('TOSALE', 'Выставление на реализацию');
insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('SALES', 'Реализация залогов');
insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('ZAYAVLENIYA', 'Заявления об отсрочке');
insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('ADD_SERVICES', 'Дополнительные услуги');
insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('DIR_ADD_SERVICES', 'Справочник дополнительных услуг');
insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('CLIENTS', 'Клиенты');
insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('AGENTS', 'Пользователи');
insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('PLACES', 'Места хранения');
insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('WARRANTES', 'Кассовые ордера');
insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('DIR_WARRANTES', 'Шаблоны кассовых ордеров');
insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('DIR_FILIAL', 'Филиалы');
insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('DIR_EXCHANGE', 'Курс доллара США');
insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('GOLD_TARIF', 'Цены на драгоценные металлы');
insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('ACT', 'Акты на реализацию');
insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('PARCEL', 'Посылки в Госсокровищницу');
insert into TABLES_TABLE (DBTABLE, TABLE_NAME) values ('INI', 'Настройки');

set term ^ ;
-- One log row. A text longer than the column is cut rather than refused: logging never stops a change.
create procedure WRITE_LOG (LOG_TABLE varchar(63), LOG_TYPE smallint, LOG_INFO varchar(8191))
as
begin
  insert into LOG (LOG_DATE, LOG_TABLE, LOG_USER, LOG_INFO, LOG_TYPE)
  values (current_timestamp, :LOG_TABLE, current_user, left(:LOG_INFO, 1000), :LOG_TYPE);
end^

-- Log trigger <table>_LOG: one WRITE_LOG per changed row. INFO is the text of the row, an
-- expression over the row's columns written as ROW.<column> (the old row of a delete, else the
-- new one). Used while the schema is built; dropped at its end.
create procedure MAKE_LOG_TRIGGER (TABLE_NAME varchar(63), INFO varchar(4000))
as
begin
  execute statement
    'create trigger ' || TABLE_NAME || '_LOG for ' || TABLE_NAME
    || ' active after insert or update or delete position 10 as begin if (deleting) then '
    || 'execute procedure WRITE_LOG(''' || TABLE_NAME || ''', 3, ' || replace(INFO, 'ROW.', 'old.') || '); '
    || 'else execute procedure WRITE_LOG(''' || TABLE_NAME || ''', iif(inserting, 1, 2), '
    || replace(INFO, 'ROW.', 'new.') || '); end';
end^
set term ; ^

-- The triggers below are made by statements that must see the tables above.
commit;

execute procedure MAKE_LOG_TRIGGER('PENALTY_CONTRACTS',
  '''Договор № '' || coalesce(ROW.CONTRACT_NUM, '''') || '' (ID '' || ROW.CONTRACT_ID || ''), состояние '' || ROW.CONTRACT_STATE');
execute procedure MAKE_LOG_TRIGGER('PENALTY_OPERATIONS',
  '''Операция ID '' || ROW.OP_ID || '' договора ID '' || ROW.DEPOSIT_ID || '' от '' || ROW.OP_DATE || '': основная сумма '' || (ROW.OP_SUM / 100.00) || '', проценты '' || (ROW.OP_PERC_SUM / 100.00) || '', хранение '' || (ROW.OP_STORAGE_SUM / 100.00) || '', пеня '' || (ROW.OP_PENALTY_SUM / 100.00)');
execute procedure MAKE_LOG_TRIGGER('TOSALE',
  '''Договор ID '' || ROW.CONTRACT_ID || '' на реализации с '' || coalesce(ROW.TOSALE_DATE, '''') || '', сумма '' || coalesce(ROW.TOSALE_SUM / 100.00, 0)');
execute procedure MAKE_LOG_TRIGGER('SALES',
  '''Продажа залога договора ID '' || ROW.CONTRACT_ID || '', сумма '' || coalesce(ROW.SALE_SUM / 100.00, 0)');
execute procedure MAKE_LOG_TRIGGER('ZAYAVLENIYA',
  '''Заявление об отсрочке по договору ID '' || ROW.CONTRACT_ID || '' до '' || coalesce(ROW.DATE_TO, '''')');
execute procedure MAKE_LOG_TRIGGER('ADD_SERVICES',
  '''Услуга "'' || coalesce(ROW.NAME, '''') || ''", объект ID '' || coalesce(ROW.ID_OBJ, '''') || '', цена '' || coalesce(ROW.PRICE / 100.00, 0)');
execute procedure MAKE_LOG_TRIGGER('DIR_ADD_SERVICES',
  '''Услуга "'' || coalesce(ROW.NAME, '''') || ''" (ID '' || ROW.ID || '')''');
execute procedure MAKE_LOG_TRIGGER('CLIENTS',
  '''Клиент '' || coalesce(ROW.CLIENT_NAME, '''') || '' (ID '' || ROW.CLIENT_ID || '')''');
execute procedure MAKE_LOG_TRIGGER('AGENTS',
  '''Пользователь '' || coalesce(ROW.AGENT_NAME, '''') || '', логин '' || coalesce(ROW.AGENT_LOGIN, '''') || '', группа '' || coalesce(ROW.GROUP_ID, '''')');
execute procedure MAKE_LOG_TRIGGER('PLACES',
  '''Место хранения '' || coalesce(ROW.PLACE_NAME, '''') || '' (ID '' || ROW.PLACE_ID || '')''');
execute procedure MAKE_LOG_TRIGGER('WARRANTES',
  'iif(ROW.W_TYPE = 1, ''Расходный'', ''Приходный'') || '' ордер № '' || coalesce(ROW.NUMBER, '''') || '' от '' || coalesce(ROW.W_DATE, '''') || '', сумма '' || coalesce(ROW.W_SUM / 100.00, 0)');
execute procedure MAKE_LOG_TRIGGER('DIR_WARRANTES',
  '''Шаблон ордера ID '' || ROW.ID || '', счёт '' || coalesce(ROW.ACCOUNT_NUMBER, '''')');
execute procedure MAKE_LOG_TRIGGER('DIR_FILIAL',
  '''Филиал '' || ROW.NUMBER || '' - '' || coalesce(ROW.NAME, '''')');
execute procedure MAKE_LOG_TRIGGER('DIR_EXCHANGE',
  '''Курс на '' || ROW.DATA || '', филиал ID '' || coalesce(ROW.ID_FILIAL, '''') || '': '' || (ROW.USD_EXCHANGE / 10000.0000)');
execute procedure MAKE_LOG_TRIGGER('GOLD_TARIF',
  '''Проба '' || ROW.PROB_NAME || '': оценка 1 г '' || (ROW.PRICE_PER_GRAM / 100.00) || '', кредит 1 г '' || (ROW.DEPOSIT_PER_GRAM / 100.00)');
execute procedure MAKE_LOG_TRIGGER('ACT',
  '''Акт № '' || coalesce(ROW.NUM, '''') || '' (ID '' || ROW.ID || '') от '' || coalesce(ROW.ACT_DATE, '''')');
execute procedure MAKE_LOG_TRIGGER('PARCEL',
  '''Посылка № '' || coalesce(ROW.NUM_PARCEL, '''') || '' (ID '' || ROW.ID || '') от '' || coalesce(ROW.DATE_PARCEL, '''')');
execute procedure MAKE_LOG_TRIGGER('INI',
  'ROW.SECTION || ''/'' || ROW.NAME || '' = '' || coalesce(ROW.VAL, '''')');
