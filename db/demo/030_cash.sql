-- Cash orders of the demo contracts under the summary method: for every day with a money
-- movement the hidden day marker and one order per category with an amount, numbered from the
-- branch counters, as the program's own regeneration of those days would leave them.

set term ^ ;
execute block
as
  declare variable BRANCH integer;
  declare variable ON_DAY date;
  declare variable MARKER integer;
  declare variable AMOUNT integer;
  declare variable NUMS varchar(1000);
  declare variable BASE integer;
  declare variable PERC integer;
  declare variable STORAGE integer;
  declare variable PENALTY integer;
  declare variable BASE_NUMS varchar(1000);
  declare variable PERC_NUMS varchar(1000);
  declare variable STORAGE_NUMS varchar(1000);
  declare variable PENALTY_NUMS varchar(1000);
  declare variable PERC_CLOSED varchar(1000);
  declare variable STORAGE_CLOSED varchar(1000);
  declare variable PENALTY_CLOSED varchar(1000);

  -- One order of the day for the automatic template CODE, with the Russian template texts.
  declare procedure PUT_ORDER (BRANCH integer, ON_DAY date, MARKER integer, CODE varchar(80), AMOUNT integer,
                               NUMS varchar(1000), CLOSED varchar(1000))
  as
    declare variable TEMPLATE integer;
    declare variable W_TYPE integer;
    declare variable ACCOUNT varchar(80);
    declare variable FOUNDATION varchar(255);
    declare variable SUBJECT varchar(1300);
    declare variable NUM_GIVEN integer;
  begin
    if (coalesce(AMOUNT, 0) = 0) then exit;
    select W.ID, W.W_TYPE, W.ACCOUNT_NUMBER, L.FOUNDATION, L.OPERATION_SUBJECT
      from DIR_WARRANTES W join DIR_WARRANTES_LANGS L on L.ID_REC = W.ID and L.ID_LANG = 1
     where W.CODE = :CODE
      into :TEMPLATE, :W_TYPE, :ACCOUNT, :FOUNDATION, :SUBJECT;
    select iif(:W_TYPE = 0, WNT_RECEIPT_NUM_AUTOINC, WNT_EXPENSE_NUM_AUTOINC) from DIR_FILIAL where ID = :BRANCH
      into :NUM_GIVEN;
    insert into WARRANTES (ID_DIR_WARRANTES, ID_FILIAL, NUMBER, W_DATE, W_TYPE, ACCOUNT_NUMBER, W_SUM,
                           OPERATION_SUBJECT, FOUNDATION, ADDITION, IDENTIFICATION_DATA, ID_REGISTER)
      values (:TEMPLATE, :BRANCH, :NUM_GIVEN, :ON_DAY, :W_TYPE, :ACCOUNT, :AMOUNT, :SUBJECT || ' ' || coalesce(:NUMS, ''),
              :FOUNDATION,
              iif(:CODE in ('RECEIPT_PERCENT', 'RECEIPT_STORAGE', 'RECEIPT_PENALTY'),
                  iif(:CLOSED is null, '', :SUBJECT || ' ' || :CLOSED), :SUBJECT || ' ' || coalesce(:NUMS, '')),
              '', :MARKER);
    if (W_TYPE = 0) then
      update DIR_FILIAL set WNT_RECEIPT_NUM_AUTOINC = WNT_RECEIPT_NUM_AUTOINC + 1 where ID = :BRANCH;
    else
      update DIR_FILIAL set WNT_EXPENSE_NUM_AUTOINC = WNT_EXPENSE_NUM_AUTOINC + 1 where ID = :BRANCH;
  end
begin
  select ID from DIR_FILIAL where IS_CURENT = 1 into :BRANCH;
  for select ON_DAY from (
        select CONTRACT_DATE as ON_DAY from PENALTY_CONTRACTS where FILIAL_ID = :BRANCH
        union
        select O.OP_DATE from PENALTY_OPERATIONS O
          join PENALTY_CONTRACTS PC on PC.CONTRACT_ID = O.DEPOSIT_ID and PC.FILIAL_ID = :BRANCH
        union
        select PC.CONTRACT_CLOSE from PENALTY_CONTRACTS PC
          join SALES S on S.CONTRACT_ID = PC.CONTRACT_ID and S.IS_CREATE_WARRANT = 1
         where PC.FILIAL_ID = :BRANCH)
      order by ON_DAY
      into :ON_DAY
  do
  begin
    MARKER = gen_id(GEN_REGISTERS_ID, 1);
    insert into REGISTERS (ID, ID_FILIAL, R_TYPE, R_NUMBER, R_DATE) values (:MARKER, :BRANCH, 0, -1, :ON_DAY);

    -- Receipts of the day's payments by category, with the contracts of each category closed that day.
    select sum(iif(PO.OP_SUM > 0, PO.OP_SUM, 0)), sum(iif(PO.OP_PERC_SUM > 0, PO.OP_PERC_SUM, 0)),
           sum(iif(PO.OP_STORAGE_SUM > 0, PO.OP_STORAGE_SUM, 0)), sum(iif(PO.OP_PENALTY_SUM > 0, PO.OP_PENALTY_SUM, 0)),
           list(distinct iif(PO.OP_SUM > 0, PC.CONTRACT_NUM, null), '; '),
           list(distinct iif(PO.OP_PERC_SUM > 0, PC.CONTRACT_NUM, null), '; '),
           list(distinct iif(PO.OP_STORAGE_SUM > 0, PC.CONTRACT_NUM, null), '; '),
           list(distinct iif(PO.OP_PENALTY_SUM > 0, PC.CONTRACT_NUM, null), '; '),
           list(distinct iif(PO.OP_PERC_SUM > 0 and PC.CONTRACT_CLOSE = :ON_DAY and PC.CONTRACT_STATE = 1,
                             PC.CONTRACT_NUM, null), '; '),
           list(distinct iif(PO.OP_STORAGE_SUM > 0 and PC.CONTRACT_CLOSE = :ON_DAY and PC.CONTRACT_STATE = 1,
                             PC.CONTRACT_NUM, null), '; '),
           list(distinct iif(PO.OP_PENALTY_SUM > 0 and PC.CONTRACT_CLOSE = :ON_DAY and PC.CONTRACT_STATE = 1,
                             PC.CONTRACT_NUM, null), '; ')
      from PENALTY_CONTRACTS PC join PENALTY_OPERATIONS PO on PO.DEPOSIT_ID = PC.CONTRACT_ID
     where PO.OP_DATE = :ON_DAY and PC.FILIAL_ID = :BRANCH
      into :BASE, :PERC, :STORAGE, :PENALTY, :BASE_NUMS, :PERC_NUMS, :STORAGE_NUMS, :PENALTY_NUMS,
           :PERC_CLOSED, :STORAGE_CLOSED, :PENALTY_CLOSED;
    execute procedure PUT_ORDER(:BRANCH, :ON_DAY, :MARKER, 'RECEIPT_DEPOSIT', :BASE, :BASE_NUMS, null);
    execute procedure PUT_ORDER(:BRANCH, :ON_DAY, :MARKER, 'RECEIPT_PERCENT', :PERC, :PERC_NUMS, :PERC_CLOSED);
    execute procedure PUT_ORDER(:BRANCH, :ON_DAY, :MARKER, 'RECEIPT_STORAGE', :STORAGE, :STORAGE_NUMS, :STORAGE_CLOSED);
    execute procedure PUT_ORDER(:BRANCH, :ON_DAY, :MARKER, 'RECEIPT_PENALTY', :PENALTY, :PENALTY_NUMS, :PENALTY_CLOSED);

    select sum(S.SALE_SUM), list(distinct PC.CONTRACT_NUM, '; ')
      from SALES S join PENALTY_CONTRACTS PC on PC.CONTRACT_ID = S.CONTRACT_ID
     where PC.CONTRACT_CLOSE = :ON_DAY and S.IS_CREATE_WARRANT = 1 and PC.FILIAL_ID = :BRANCH
      into :AMOUNT, :NUMS;
    execute procedure PUT_ORDER(:BRANCH, :ON_DAY, :MARKER, 'RECEIPT_SALE', :AMOUNT, :NUMS, null);

    -- Money paid out: loans of the contracts of the day and loan increases (negative OP_SUM).
    select coalesce((select sum(PD.DEPOSIT_SUM) from PENALTY_DEPOSITS PD
                       join PENALTY_CONTRACTS PC on PC.CONTRACT_ID = PD.CONTRACT_ID
                      where PC.CONTRACT_DATE = :ON_DAY and PC.FILIAL_ID = :BRANCH), 0)
         - coalesce((select sum(PO.OP_SUM) from PENALTY_OPERATIONS PO
                       join PENALTY_CONTRACTS PC on PC.CONTRACT_ID = PO.DEPOSIT_ID
                      where PO.OP_DATE = :ON_DAY and PO.OP_SUM < 0 and PC.FILIAL_ID = :BRANCH), 0),
           (select list(distinct PC.CONTRACT_NUM, '; ') from PENALTY_CONTRACTS PC
             where PC.FILIAL_ID = :BRANCH
               and (PC.CONTRACT_DATE = :ON_DAY
                    or exists (select 1 from PENALTY_OPERATIONS PO
                                where PO.DEPOSIT_ID = PC.CONTRACT_ID and PO.OP_DATE = :ON_DAY and PO.OP_SUM < 0)))
      from RDB$DATABASE
      into :AMOUNT, :NUMS;
    execute procedure PUT_ORDER(:BRANCH, :ON_DAY, :MARKER, 'EXPENSE_DEPOSIT', :AMOUNT, :NUMS, null);
  end
end^
set term ; ^

-- Making the demo is no user's change: the change log starts empty.
delete from LOG;
