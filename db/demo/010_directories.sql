-- Demo office: storage places, precious-metal tariffs, standard item names, services, a cashier,
-- dollar rates and clients. Money in hundredths, dollar rate in ten-thousandths.

insert into PLACES (PLACE_NAME) values ('Сейф №1');
insert into PLACES (PLACE_NAME) values ('Склад техники');

insert into DIR_DRAGME_TYPE (NAME) values ('Золото');
insert into DIR_DRAGME_TYPE (NAME) values ('Серебро');

insert into GOLD_TARIF (PROB_NAME, PRICE_PER_GRAM, DEPOSIT_PER_GRAM, ID_ME_TYPE)
  select '585', 180000, 150000, ID from DIR_DRAGME_TYPE where NAME = 'Золото';
insert into GOLD_TARIF (PROB_NAME, PRICE_PER_GRAM, DEPOSIT_PER_GRAM, ID_ME_TYPE)
  select '750', 230000, 190000, ID from DIR_DRAGME_TYPE where NAME = 'Золото';
insert into GOLD_TARIF (PROB_NAME, PRICE_PER_GRAM, DEPOSIT_PER_GRAM, ID_ME_TYPE)
  select '925', 3000, 2000, ID from DIR_DRAGME_TYPE where NAME = 'Серебро';

insert into DEPOSIT_SUBJECTS (NAME, DEPOSIT_TYPE_ID, ITEMS_COUNT)
  select 'Кольцо', ID, 1 from DEPOSIT_TYPES where CODE = 'GOLD';
insert into DEPOSIT_SUBJECTS (NAME, DEPOSIT_TYPE_ID, ITEMS_COUNT)
  select 'Серьги', ID, 2 from DEPOSIT_TYPES where CODE = 'GOLD';
insert into DEPOSIT_SUBJECTS (NAME, DEPOSIT_TYPE_ID, ITEMS_COUNT)
  select 'Цепочка', ID, 1 from DEPOSIT_TYPES where CODE = 'GOLD';
insert into DEPOSIT_SUBJECTS (NAME, DEPOSIT_TYPE_ID, ITEMS_COUNT)
  select 'Ноутбук', ID, 1 from DEPOSIT_TYPES where CODE = 'TECH';
insert into DEPOSIT_SUBJECTS (NAME, DEPOSIT_TYPE_ID, ITEMS_COUNT)
  select 'Телевизор', ID, 1 from DEPOSIT_TYPES where CODE = 'TECH';

insert into PASPORT_DATA (DATA) values ('Шевченківським РУ ГУ МВС України в м. Києві');
insert into PASPORT_DATA (DATA) values ('Дарницьким РУ ГУ МВС України в м. Києві');

-- Services counted by the regulatory report; not added to new contracts by themselves.
insert into DIR_ADD_SERVICES (NAME, ID_EVENT, FORMULA, IS_ACTIVE, ARTICLE_NUM, CODE)
  values ('Оценка имущества', 0, '20', 0, 91, 'VALUATION');
insert into DIR_ADD_SERVICES (NAME, ID_EVENT, FORMULA, IS_ACTIVE, ARTICLE_NUM, CODE)
  values ('Страхование залога', 0, 'CONTR_PRICE*0.01', 0, 92, 'INSURE');

-- A cashier besides the manager (the server user is made when a password is set in the program).
insert into AGENTS (AGENT_NAME, AGENT_LOGIN, AGENT_PASSWORD, GROUP_ID, KASSIR_ID)
  values ('Петренко Оксана Ігорівна', 'KASSA1', '*******', 0, '2');
grant AGENTROLE to KASSA1;

insert into DIR_EXCHANGE (ID_FILIAL, USD_EXCHANGE, DATA)
  select ID, 412500, current_date - 120 from DIR_FILIAL where IS_CURENT = 1;
insert into DIR_EXCHANGE (ID_FILIAL, USD_EXCHANGE, DATA)
  select ID, 413800, current_date - 30 from DIR_FILIAL where IS_CURENT = 1;

-- Clients; the passport date is kept as the client's paper shows it.
set term ^ ;
execute block
as
  declare procedure CLIENT (NAME varchar(80), ADDRESS varchar(255), PHONE varchar(40), INN varchar(20),
                            PASSPORT_SN varchar(20), PASSPORT_NUM varchar(20), PASSPORT_INFO varchar(255),
                            PASSPORT_DATE varchar(255), INFO varchar(255))
  as
  begin
    insert into CLIENTS (CLIENT_ID, CLIENT_NAME, CLIENT_ADDRESS, CLIENT_PHONE, CLIENT_INN, CLIENT_PASSPORT_SN,
                         CLIENT_PASSPORT_NUM, CLIENT_PASSPORT_INFO, CLIENT_PASSPORT_DATE, CLIENT_INFO)
      values (0, :NAME, :ADDRESS, :PHONE, :INN, :PASSPORT_SN, :PASSPORT_NUM, :PASSPORT_INFO, :PASSPORT_DATE, :INFO);
  end
begin
  execute procedure CLIENT('Дем''яненко Олександра Вікторівна', 'м. Київ, вул. Хрещатик, 12, кв. 5', '+380 44 123-45-67',
    '2934501876', 'СН', '482615', 'Шевченківським РУ ГУ МВС України в м. Києві', '12.03.2001', 'Постійний клієнт');
  execute procedure CLIENT('Іваненко Петро Миколайович', 'м. Київ, просп. Перемоги, 40, кв. 118', '+380 67 555-12-90',
    '3011209455', 'СО', '118920', 'Дарницьким РУ ГУ МВС України в м. Києві', '5 травня 1999 р.', null);
  execute procedure CLIENT('Коваленко Марія Іванівна', 'м. Бровари, вул. Незалежності, 7', '+380 50 301-77-21',
    '2745008123', 'ВК', '305511', 'Броварським МВ ГУ МВС України в Київській обл.', '20.09.1996', null);
  execute procedure CLIENT('Сидоров Алексей Петрович', 'г. Киев, ул. Саксаганского, 88, кв. 3', '+380 63 440-08-15',
    '2590417733', 'МЕ', '774102', 'Голосеевским РУ ГУ МВД Украины в г. Киеве', '01.11.1994', null);
  execute procedure CLIENT('Шевчук Ольга Андріївна', 'м. Київ, вул. Січових Стрільців, 21, кв. 40', '+380 93 712-30-04',
    '3320115690', 'СР', '901237', 'Шевченківським РУ ГУ МВС України в м. Києві', '18.06.2008', null);
  execute procedure CLIENT('Мар''яненко Василь Степанович', 'м. Вишневе, вул. Святошинська, 3', '+380 97 208-64-50',
    '2811903346', 'ТТ', '045198', 'Києво-Святошинським РВ ГУ МВС України в Київській обл.', '02.02.2002', null);
  execute procedure CLIENT('Бондаренко Тетяна Олегівна', 'м. Київ, вул. Лук''янівська, 9', '+380 66 019-44-82',
    null, null, null, null, null, null);
end^
set term ; ^
