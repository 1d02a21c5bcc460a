#pragma once
// The contract lists' database for the benchmarks: 1,000,000 contracts over 200,000 clients.

#include <QString>

#include "platform/fb/Database.h"
#include "platform/fb/Script.h"

namespace benchdb {

constexpr int kMillionContracts = 1000000;
constexpr int kMillionClients = 200000;

// 200,000 clients (every fifth a "Коваленко", one "Рідкісненко"), 1,000,000 contracts over nine years,
// newest last: a tenth open, a few on sale or sold, 2 % imported, every 500th in an act; the open ones
// carry two repayments holding checkpoints.
inline void fillMillionContracts(fb::Database& db) {
    fb::runScript(db, QStringLiteral(R"(
set term ^ ;
execute block as
  declare i integer = 1; declare st integer; declare fil integer; declare cd date; declare act integer;
begin
  select first 1 ID from DIR_FILIAL where IS_CURENT = 1 into :fil;
  while (i <= %2) do begin
    insert into CLIENTS (CLIENT_ID, CLIENT_NAME) values (:i,
      iif(:i = 777, 'Рідкісненко Ярема', iif(mod(:i, 5) = 0, 'Коваленко ', 'Клієнтенко ') || :i));
    i = i + 1;
  end
  insert into ACT (ID, NUM) values (1, 'А-1');
  insert into ACT (ID, NUM) values (2, 'А-2');
  i = 1;
  while (i <= %1) do begin
    st = iif(mod(i, 10) = 0, 0, iif(mod(i, 997) = 1, 3, iif(mod(i, 997) = 2, 2, 1)));
    cd = dateadd(i / 300 day to date '2016-01-01');
    insert into PENALTY_CONTRACTS (CONTRACT_ID, CLIENT_ID, AGENT_ID, CONTRACT_DATE, CONTRACT_STATE, CONTRACT_NUM,
      FILIAL_ID, CONTRACT_CLOSE)
      values (:i, mod(:i * 7919, %2) + 1, 1, :cd, :st, '1.' || :i, :fil, iif(:st = 0 or :st = 3, null, dateadd(40 day to :cd)));
    insert into PENALTY_DEPOSITS (CONTRACT_ID, DEPOSIT_SUM, PENALTY_DAYS, DEPOSIT_PERC, PENALTY_PERC, SUBJECT_PRICE,
      DEPOSIT_TYPE)
      values (:i, 10000 + mod(:i * 31, 500000), 30, 1500, 100, 300000, 1);
    if (mod(i, 50) = 7) then
      insert into CONTRACT_IMPORT (CONTRACT_ID, CLIENT_NAME, AGENT_NAME) values (:i, 'Імпортенко ' || :i, 'Агент');
    if (mod(i, 500) = 3) then
      insert into ACT_SUBJ (ID, ID_ACT, ID_CONTRACT) values (:i, 1 + mod(:i, 2), :i);
    if (st = 0) then begin
      insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_SUM, OP_PERC_SUM, OP_DATE, NON_CALC_DAYS,
        OP_REST_PERC, OP_REST_STORAGE, OP_REST_PENALTY, OP_REST_BASE)
        values (gen_id(GEN_OPERATIONS_ID, 1), :i, 1000, 0, dateadd(10 day to :cd), 0, 0, 0, 0, 9000);
      insert into PENALTY_OPERATIONS (OP_ID, DEPOSIT_ID, OP_SUM, OP_PERC_SUM, OP_DATE, NON_CALC_DAYS,
        OP_REST_PERC, OP_REST_STORAGE, OP_REST_PENALTY, OP_REST_BASE)
        values (gen_id(GEN_OPERATIONS_ID, 1), :i, 1000, 0, dateadd(20 day to :cd), 0, 0, 0, 0, 8000);
    end
    i = i + 1;
  end
end^
set term ; ^
)")
                          .arg(kMillionContracts)
                          .arg(kMillionClients));
}

}  // namespace benchdb
