-- The office itself: its branch, the version of the database, the default settings and the
-- first manager.

-- The current branch. Its counters start at 1 (the next number to give).
insert into DIR_FILIAL (ID, NUMBER, NAME, IS_IMPORT, IS_CURENT, GUID)
  select gen_id(GEN_DIR_FILIAL_ID, 1), 1, 'Центральное отделение', 0, 1, '{' || uuid_to_char(gen_uuid()) || '}'
    from RDB$DATABASE;

-- The program compares only the last number with its own build number (program 1.0.0: build 0).
insert into DB_VERSION (ID, VER_NUM) values (1, '1.0.0.0');

-- Default settings, as the settings dialog would store them on its first OK. The contract number
-- template is the one the dialog suggests: an empty template would give empty numbers.
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'OrderNumberTemplate', '[POINT_NO].[YY].[AUTOINC]');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'ResetContractNumOn_', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'actNumTemplate', '');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'parcelNumTemplate', '');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'autoincParcel', '1');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'parcelPacketPieceCount', '50');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'IncludeCurDayInPercCalc', '1');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'StPrmDeposType', '1');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'StPrmPlace', '1');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'StPrmPenaltyDays', '1');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'StPrmDollarPrice', '1');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'OpStPrmOpVid', '1');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'isCalcPercForToSaleDate', '1');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'isCalcSaleSumWithPerc', '1');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'isCalcSaleSumWithPenalty', '1');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'UseAutoPercCalcSum', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'UseAutoPercCalcDays', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'AutoPerc_InclClientOpenedContracts', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'AutoPerc_RoundSubjCredit', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'AutoPerc_AutoCalcCredit4GoldMetod', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'repExceedDays', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'isPrivInExceed', '1');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'CalcExchange', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'CalcExchangeIfIncrease', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'percent', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'penalty', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'minAccrualDays', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'isCalcPercWithPenalty', '1');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'isPenalCalcFromRetSum', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'StorageType', '1');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'StorageVal', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'StorageMinDays', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'isStorageCalcWPenalty', '1');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'WarrantCalculationMethod', '1');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'CreateAutoWarrantAfterRealisation', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'INI_DFLT_NumCashBookSheets', '1');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'groupAutoOrdersInRegister', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'ValutaName', 'грн');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'ValutaKopName', 'коп');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'ValutaGender', '0');
insert into INI (SECTION, NAME, VAL) values ('DEFAULTS', 'ValutaLanguage', '0');

-- What agents may do besides their own work: only loan increases.
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentOpIncBaseSum', '1');
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentEditGoldTarif', '0');
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentMakeActs', '0');
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentMakeExpReport', '0');
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentMakePercReport', '0');
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentMakeGeneralReport', '0');
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentMakeOtherReps', '0');
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentWorkWithInventReport', '0');
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentMakeAddServicesRep', '0');
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentMakeSpreadsheetRep', '0');
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentDoDataDump', '0');
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentExpExcelContracts', '0');
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentExpExcelSubject', '0');
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentExportData', '0');
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentImportData', '0');
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentSeeExpHistory', '0');
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentSeeImpHistory', '0');
insert into INI (SECTION, NAME, VAL) values ('PERMISSION', 'CanAgentSeeCashDate', '0');

-- Company requisites for documents and reports; the texts are filled in by the office.
insert into INI (SECTION, NAME, VAL) values ('CompanyInfo', 'isCompanyVATPayer', '1');
insert into INI (SECTION, NAME, VAL) values ('CompanyInfo', 'VATValue', '20');
insert into INI (SECTION, NAME, VAL) values ('CompanyInfo', 'INN', '');
insert into INI (SECTION, NAME, VAL) values ('CompanyInfo', 'registrationCertificateNum', '');
insert into INI (SECTION, NAME, VAL) values ('CompanyInfo', 'SPEC_COMMUNICATIONS_DEPARTMENT', '');
insert into INI (SECTION, NAME, VAL) values ('CompanyInfo', 'contractWithSpecCommunications', '');
insert into INI (SECTION, NAME, VAL) values ('CompanyInfo', 'companyAccount', '');
insert into INI (SECTION, NAME, VAL) values ('CompanyInfo', 'INI_COMPANY_INFO_COMPANY_BANK', '');
insert into INI (SECTION, NAME, VAL) values ('CompanyInfo', 'INI_COMPANY_INFO_COMPANY_BANK_MFO', '');
insert into INI (SECTION, NAME, VAL) values ('CompanyInfo', 'INI_COMPANY_INFO_COMPANY_OKPO', '');
insert into INI (SECTION, NAME, VAL) values ('CompanyInfo', 'contractWithNBUNum', '');
insert into INI (SECTION, NAME, VAL) values ('CompanyInfo', 'contractWithNBUDate', '');

-- The first manager, login MANAGER: the users directory grants and revokes roles with the login
-- written bare into the statement, and ADMIN is a reserved word there. The server user gets the
-- password; the table keeps only the mask. Managers hold both roles with the admin option, so
-- that they can grant them to the users they add.
insert into AGENTS (AGENT_NAME, AGENT_LOGIN, AGENT_PASSWORD, GROUP_ID, KASSIR_ID)
  values ('Администратор', 'MANAGER', '*******', 1, '1');
grant AGENTROLE to MANAGER with admin option;
grant MASTERROLE to MANAGER with admin option;

-- Setting up the database is no user's change: the change log starts empty.
delete from LOG;
