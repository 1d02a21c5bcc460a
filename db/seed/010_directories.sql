-- Fixed directories every database starts with, each entry with its names in language 1 (Russian)
-- and 2 (Ukrainian).

set term ^ ;
execute block
as
  -- A fixed row of TABLE_NAME and its names in TABLE_NAME_LANGS.
  declare procedure NAMED (TABLE_NAME varchar(63), KEY_COLUMN varchar(63), NAME_COLUMN varchar(63), ID integer,
                           RU varchar(255), UK varchar(255))
  as
  begin
    execute statement ('insert into ' || TABLE_NAME || ' (' || KEY_COLUMN || ') values (?)') (ID);
    execute statement ('insert into ' || TABLE_NAME || '_LANGS (ID_REC, ID_LANG, ' || NAME_COLUMN || ') values (?, ?, ?)')
      (ID, 1, RU);
    execute statement ('insert into ' || TABLE_NAME || '_LANGS (ID_REC, ID_LANG, ' || NAME_COLUMN || ') values (?, ?, ?)')
      (ID, 2, UK);
  end

  -- A pledge type; its key comes from the generator.
  declare procedure DEPOSIT_TYPE (CODE varchar(20), RU varchar(80), UK varchar(80))
  as
    declare variable ID integer;
  begin
    insert into DEPOSIT_TYPES (CODE) values (:CODE) returning ID into :ID;
    insert into DEPOSIT_TYPES_LANGS (ID_REC, ID_LANG, NAME) values (:ID, 1, :RU);
    insert into DEPOSIT_TYPES_LANGS (ID_REC, ID_LANG, NAME) values (:ID, 2, :UK);
  end

  -- An automatic order template with its foundation and subject texts.
  declare procedure TEMPLATE (CODE varchar(80), ACCOUNT varchar(80), W_TYPE integer, FOUNDATION_RU varchar(255),
                              SUBJECT_RU varchar(255), FOUNDATION_UK varchar(255), SUBJECT_UK varchar(255))
  as
    declare variable ID integer;
  begin
    insert into DIR_WARRANTES (ACCOUNT_NUMBER, CODE, W_TYPE) values (:ACCOUNT, :CODE, :W_TYPE) returning ID into :ID;
    insert into DIR_WARRANTES_LANGS (ID_REC, ID_LANG, FOUNDATION, OPERATION_SUBJECT)
      values (:ID, 1, :FOUNDATION_RU, :SUBJECT_RU);
    insert into DIR_WARRANTES_LANGS (ID_REC, ID_LANG, FOUNDATION, OPERATION_SUBJECT)
      values (:ID, 2, :FOUNDATION_UK, :SUBJECT_UK);
  end
begin
  -- Contract states.
  execute procedure NAMED('CONTRACT_STATES', 'STATE_ID', 'STATE_NAME', 0, 'Открыт', 'Відкритий');
  execute procedure NAMED('CONTRACT_STATES', 'STATE_ID', 'STATE_NAME', 1, 'Закрыт', 'Закритий');
  execute procedure NAMED('CONTRACT_STATES', 'STATE_ID', 'STATE_NAME', 2, 'Реализован', 'Реалізований');
  execute procedure NAMED('CONTRACT_STATES', 'STATE_ID', 'STATE_NAME', 3, 'На реализации', 'На реалізації');

  -- Storage-fee kinds: 1 fixed sum per day, 2 percent of the valuation, 3 percent of the loan.
  execute procedure NAMED('STORAGE_TYPES', 'ID', 'NAME', 1, 'Фиксированная сумма', 'Фіксована сума');
  execute procedure NAMED('STORAGE_TYPES', 'ID', 'NAME', 2, 'От оценки', 'Від оцінки');
  execute procedure NAMED('STORAGE_TYPES', 'ID', 'NAME', 3, 'От суммы кредита', 'Від суми кредиту');

  -- Order types and user groups.
  execute procedure NAMED('WARRANT_TYPES', 'ID', 'W_TYPE', 0, 'Приходный', 'Прибутковий');
  execute procedure NAMED('WARRANT_TYPES', 'ID', 'W_TYPE', 1, 'Расходный', 'Видатковий');
  execute procedure NAMED('AGENTS_GROUP', 'GROUP_ID', 'GROUP_NAME', 0, 'Агенты', 'Агенти');
  execute procedure NAMED('AGENTS_GROUP', 'GROUP_ID', 'GROUP_NAME', 1, 'Менеджеры', 'Менеджери');

  -- Pledge types, in the order of the regulatory report's lines (keys 1 to 7).
  execute procedure DEPOSIT_TYPE('GOLD', 'Изделия из драгметаллов', 'Вироби з дорогоцінних металів');
  execute procedure DEPOSIT_TYPE('TECH', 'Бытовая техника', 'Побутова техніка');
  execute procedure DEPOSIT_TYPE('AUTO', 'Автомобили', 'Автомобілі');
  execute procedure DEPOSIT_TYPE('HOUS', 'Недвижимость', 'Нерухомість');
  execute procedure DEPOSIT_TYPE('PAPE', 'Ценные бумаги', 'Цінні папери');
  execute procedure DEPOSIT_TYPE('RIGH', 'Неимущественные права', 'Немайнові права');
  execute procedure DEPOSIT_TYPE('ELSE', 'Другое имущество', 'Інше майно');

  -- The eight automatic order templates. Summary orders follow the subject with the contract
  -- numbers; per-operation orders follow the foundation with the amounts or with ". " and the
  -- contract's own foundation.
  execute procedure TEMPLATE('RECEIPT_DEPOSIT', '377', 0,
    'Возврат займа', 'Заемщики по договорам №', 'Повернення позики', 'Позичальники за договорами №');
  execute procedure TEMPLATE('RECEIPT_PERCENT', '373', 0,
    'Оплата процентов за пользование займом', 'Заемщики по договорам №',
    'Сплата процентів за користування позикою', 'Позичальники за договорами №');
  execute procedure TEMPLATE('RECEIPT_PENALTY', '373', 0,
    'Оплата пени', 'Заемщики по договорам №', 'Сплата пені', 'Позичальники за договорами №');
  execute procedure TEMPLATE('RECEIPT_SALE', '377', 0,
    'Реализация заложенного имущества', 'Покупатели залогов по договорам №',
    'Реалізація заставленого майна', 'Покупці застав за договорами №');
  execute procedure TEMPLATE('RECEIPT_SERVICE', '703', 0,
    'Оплата дополнительных услуг', 'Клиенты по договорам №', 'Сплата додаткових послуг', 'Клієнти за договорами №');
  execute procedure TEMPLATE('EXPENSE_SERVICE', '703', 1,
    'Возврат по дополнительным услугам', 'Клиенты по договорам №',
    'Повернення за додатковими послугами', 'Клієнти за договорами №');
  execute procedure TEMPLATE('RECEIPT_STORAGE', '703', 0,
    'Оплата хранения предметов залога', 'Заемщики по договорам №',
    'Сплата зберігання предметів застави', 'Позичальники за договорами №');
  execute procedure TEMPLATE('EXPENSE_DEPOSIT', '377', 1,
    'Выдача займа', 'Заемщики по договорам №', 'Видача позики', 'Позичальники за договорами №');
end^
set term ; ^
