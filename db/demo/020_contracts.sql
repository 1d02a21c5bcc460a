-- Demo contracts of the current branch, dated back from the day the database is made, one or more
-- in each state: 0 open, 1 closed, 2 sold, 3 on sale. Terms: 30 days, the interest of the term
-- charged at least in full (minimum accrual 30 days), 1 % penalty a day, no accrual in grace days.
-- Numbers follow the template [POINT_NO].[YY].[AUTOINC] with the branch counter. Amounts in
-- hundredths, rates in hundredths of a percent, the dollar rate in ten-thousandths.

set term ^ ;
execute block
as
  declare variable D date;
  declare variable MANAGER integer;
  declare variable CASHIER integer;
  declare variable SAFE integer;
  declare variable STORE integer;
  declare variable GOLD integer;
  declare variable TECH integer;
  declare variable C integer;

  -- A contract of the current branch with its terms; the loan and valuation are summed from its
  -- items at the end. A storage value is a fixed fee per day (kind 1).
  declare procedure CONTRACT (CLIENT_NAME varchar(80), AGENT_ID integer, CONTRACT_DATE date,
                              CONTRACT_STATE smallint, CONTRACT_CLOSE date, NOTE varchar(255), DEPOSIT_TYPE integer,
                              DEPOSIT_PLACE integer, DEPOSIT_PERC integer, DOLLAR_PRICE integer, STORAGE_VAL integer)
    returns (CONTRACT_ID integer)
  as
    declare variable BRANCH integer;
    declare variable PREFIX varchar(20);
    declare variable COUNTER integer;
  begin
    select ID, NUMBER || '.' || lpad(mod(extract(year from cast(:CONTRACT_DATE as date)), 100), 2, '0') || '.',
           ORDER_NUM_AUTOINC
      from DIR_FILIAL where IS_CURENT = 1
      into :BRANCH, :PREFIX, :COUNTER;
    CONTRACT_ID = gen_id(GEN_CONTRACTS_ID, 1);
    insert into PENALTY_CONTRACTS (CONTRACT_ID, CLIENT_ID, AGENT_ID, CONTRACT_DATE, CONTRACT_STATE, NOTE,
                                   CONTRACT_CLOSE, CONTRACT_NUM, FILIAL_ID, IS_ARCHIVE)
      select :CONTRACT_ID, CLIENT_ID, :AGENT_ID, :CONTRACT_DATE, :CONTRACT_STATE, :NOTE, :CONTRACT_CLOSE,
             :PREFIX || :COUNTER, :BRANCH, 0
        from CLIENTS where CLIENT_NAME = :CLIENT_NAME;
    update DIR_FILIAL set ORDER_NUM_AUTOINC = :COUNTER + 1 where ID = :BRANCH;
    insert into PENALTY_DEPOSITS (CONTRACT_ID, PENALTY_DAYS, DEPOSIT_PERC, PENALTY_PERC, DEPOSIT_PLACE, DOLLAR_PRICE,
                                  IS_CALC_PERC_WITH_PENALTY, IS_PRIV_IN_EXCEED, MIN_ACCRUAL_DAYS, STORAGE_TYPE,
                                  STORAGE_VAL, STORAGE_SUM, DEPOSIT_TYPE)
      values (:CONTRACT_ID, 30, :DEPOSIT_PERC, 100, :DEPOSIT_PLACE, :DOLLAR_PRICE, 1, 1, 30, 1, :STORAGE_VAL,
              :STORAGE_VAL, :DEPOSIT_TYPE);
  end

  -- A pledged item. With an assay it is precious metal: valuation and loan follow from the tariff
  -- and the net weight (total weight less gems).
  declare procedure ITEM (CONTRACT_ID integer, NAME varchar(255), ITEMS_COUNT integer, PRICE integer,
                          DEPOSIT_SUM integer, PROB_NAME varchar(80), WEIGHT double precision,
                          WEIGHT_GEM double precision)
  as
    declare variable ID integer;
    declare variable PROB integer;
    declare variable PRICE_PER_GRAM integer;
    declare variable DEPOSIT_PER_GRAM integer;
  begin
    ID = gen_id(GEN_SUBJECTS_ID, 1);
    if (PROB_NAME is not null) then
    begin
      select ID, PRICE_PER_GRAM, DEPOSIT_PER_GRAM from GOLD_TARIF where PROB_NAME = :PROB_NAME
        into :PROB, :PRICE_PER_GRAM, :DEPOSIT_PER_GRAM;
      PRICE = round(PRICE_PER_GRAM * (WEIGHT - WEIGHT_GEM));
      DEPOSIT_SUM = round(DEPOSIT_PER_GRAM * (WEIGHT - WEIGHT_GEM));
    end
    insert into SUBJECTS (ID, ID_CONTRACT, NAME, ITEMS_COUNT, PRICE, DEPOSIT_SUM)
      values (:ID, :CONTRACT_ID, :NAME, :ITEMS_COUNT, :PRICE, :DEPOSIT_SUM);
    if (PROB_NAME is not null) then
      insert into SUBJECTS_GOLD (ID, ID_PROB, PROB_NAME, PRICE_PER_GRAM, DEPOSIT_PER_GRAM, WEIGHT, WEIGHT_GEM)
        values (:ID, :PROB, :PROB_NAME, :PRICE_PER_GRAM, :DEPOSIT_PER_GRAM, :WEIGHT, :WEIGHT_GEM);
  end
begin
  D = current_date;
  select AGENT_ID from AGENTS where AGENT_LOGIN = 'MANAGER' into :MANAGER;
  select AGENT_ID from AGENTS where AGENT_LOGIN = 'KASSA1' into :CASHIER;
  select PLACE_ID from PLACES where PLACE_NAME = 'Сейф №1' into :SAFE;
  select PLACE_ID from PLACES where PLACE_NAME = 'Склад техники' into :STORE;
  select ID from DEPOSIT_TYPES where CODE = 'GOLD' into :GOLD;
  select ID from DEPOSIT_TYPES where CODE = 'TECH' into :TECH;

  -- Sold: overdue, put on sale after 50 days and sold 20 days later; the buyer's 4200.00 covered the
  -- debt of 4050.00 and 150.00 went back to the client.
  execute procedure CONTRACT('Сидоров Алексей Петрович', :CASHIER, :D - 120, 2, :D - 50, 'Телевизор с пультом',
                             :TECH, :STORE, 1500, 412500, 0)
    returning_values :C;
  execute procedure ITEM(:C, 'Телевизор Samsung UE43', 1, 450000, 300000, null, null, null);
  insert into TOSALE (AGENT_ID, CONTRACT_ID, TOSALE_SUM, TOSALE_INFO, TOSALE_DATE, NON_CALC_DAYS)
    values (:MANAGER, :C, 450000, 'Срок договора истёк', :D - 70, 0);
  insert into SALES (AGENT_ID, CONTRACT_ID, SALE_SUM, SALE_BASE, SALE_STORAGE, SALE_PERC, SALE_PENALTY,
                     BASE_SUM, STORAGE_SUM, PERC_SUM, PENALTY_SUM, SALE_INFO, MONEY_BACK_SUM, IS_CREATE_WARRANT)
    values (:MANAGER, :C, 420000, 300000, 0, 45000, 60000, 300000, 0, 45000, 60000, 'Продан в магазине', 15000, 1);

  -- On sale: overdue, put on sale.
  execute procedure CONTRACT('Шевчук Ольга Андріївна', :CASHIER, :D - 90, 3, null, '', :TECH, :STORE, 1500, 412500, 0)
    returning_values :C;
  execute procedure ITEM(:C, 'Ноутбук Lenovo IdeaPad 5 с зарядным устройством', 1, 900000, 600000, null, null, null);
  insert into TOSALE (AGENT_ID, CONTRACT_ID, TOSALE_SUM, TOSALE_INFO, TOSALE_DATE, NON_CALC_DAYS)
    values (:MANAGER, :C, 900000, 'Срок договора истёк', :D - 40, 0);

  -- Closed: redeemed within the term with the loan and the interest of the term (15 % of 7220.00).
  execute procedure CONTRACT('Коваленко Марія Іванівна', :MANAGER, :D - 60, 1, :D - 35, '', :GOLD, :SAFE, 1500, 412500, 0)
    returning_values :C;
  execute procedure ITEM(:C, 'Серьги с фианитами', 2, null, null, '750', 4.10, 0.30);
  insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_SUM, OP_PERC_SUM, OP_INFO, OP_DATE)
    values (gen_id(GEN_OPERATIONS_ID, 1), :C, 722000, 108300, 'Выкуп залога', :D - 35);

  -- Open: the interest of the term paid (15 % of 8000.00); the client asked for a deferral.
  execute procedure CONTRACT('Іваненко Петро Миколайович', :CASHIER, :D - 45, 0, null, 'Коробка и документы в комплекте',
                             :TECH, :STORE, 1500, 412500, 0)
    returning_values :C;
  execute procedure ITEM(:C, 'Смартфон Apple iPhone 13', 1, 1200000, 800000, null, null, null);
  insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_SUM, OP_PERC_SUM, OP_INFO, OP_DATE)
    values (gen_id(GEN_OPERATIONS_ID, 1), :C, 0, 120000, 'Оплата процентов', :D - 25);
  insert into ZAYAVLENIYA (CONTRACT_ID, DATE_CUR, DATE_TO, NOTE)
    values (:C, :D - 2, :D + 12, 'Просит отсрочку до получения зарплаты');

  -- Open: two gold items.
  execute procedure CONTRACT('Дем''яненко Олександра Вікторівна', :MANAGER, :D - 10, 0, null, '', :GOLD, :SAFE, 1500,
                             413800, 0)
    returning_values :C;
  execute procedure ITEM(:C, 'Кольцо обручальное', 1, null, null, '585', 3.50, 0);
  execute procedure ITEM(:C, 'Цепочка', 1, null, null, '585', 5.20, 0);

  -- Open: 20 % for the term and a storage fee of 5.00 a day.
  execute procedure CONTRACT('Мар''яненко Василь Степанович', :CASHIER, :D - 3, 0, null, '', :TECH, :STORE, 2000,
                             413800, 500)
    returning_values :C;
  execute procedure ITEM(:C, 'Перфоратор Bosch GBH 2-26 в кейсе', 1, 250000, 150000, null, null, null);

  -- The loan and the valuation of a contract are those of its items.
  update PENALTY_DEPOSITS PD
     set DEPOSIT_SUM = (select sum(S.DEPOSIT_SUM) from SUBJECTS S where S.ID_CONTRACT = PD.CONTRACT_ID),
         SUBJECT_PRICE = (select sum(S.PRICE) from SUBJECTS S where S.ID_CONTRACT = PD.CONTRACT_ID);
end^
set term ; ^
