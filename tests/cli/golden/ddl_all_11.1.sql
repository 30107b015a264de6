-- Quillon DDL script for the database QUILLON (11g Release 1)
SET DEFINE OFF
SET VERIFY OFF
SET SQLBLANKLINES ON
SET SQLTERMINATOR OFF
SET BLOCKTERMINATOR OFF
WHENEVER SQLERROR CONTINUE
ALTER SESSION SET NLS_DATE_LANGUAGE=AMERICAN
/
ALTER SESSION SET NLS_NUMERIC_CHARACTERS='.,'
/

-- Repairing Tablespace 
-- Tablespace SYSTEM is built in: a new database has it already
CREATE TABLESPACE "SYSTEM" DATAFILE 'D:\oracle\oradata\NEWDB\SYSTEM01.DBF' SIZE 5M LOGGING EXTENT MANAGEMENT LOCAL SEGMENT SPACE MANAGEMENT AUTO
/
-- Tablespace SYSTEM is built in: a new database has it already
ALTER DATABASE DATAFILE 'D:\oracle\oradata\NEWDB\SYSTEM01.DBF' AUTOEXTEND ON
/
-- Tablespace UNDOTBS1 is built in: a new database has it already
CREATE TABLESPACE "UNDOTBS1" DATAFILE 'D:\oracle\oradata\NEWDB\UNDOTBS01.DBF' SIZE 5M LOGGING EXTENT MANAGEMENT LOCAL SEGMENT SPACE MANAGEMENT AUTO
/
-- Tablespace UNDOTBS1 is built in: a new database has it already
ALTER DATABASE DATAFILE 'D:\oracle\oradata\NEWDB\UNDOTBS01.DBF' AUTOEXTEND ON
/
-- Tablespace SYSAUX is built in: a new database has it already
CREATE TABLESPACE "SYSAUX" DATAFILE 'D:\oracle\oradata\NEWDB\SYSAUX01.DBF' SIZE 5M LOGGING EXTENT MANAGEMENT LOCAL SEGMENT SPACE MANAGEMENT AUTO
/
-- Tablespace SYSAUX is built in: a new database has it already
ALTER DATABASE DATAFILE 'D:\oracle\oradata\NEWDB\SYSAUX01.DBF' AUTOEXTEND ON
/
-- Tablespace TEMP left out: it is a temporary tablespace, whose files are not datafiles
-- Tablespace USERS is built in: a new database has it already
CREATE TABLESPACE "USERS" DATAFILE 'D:\oracle\oradata\NEWDB\USERS01.DBF' SIZE 5M LOGGING EXTENT MANAGEMENT LOCAL SEGMENT SPACE MANAGEMENT AUTO
/
-- Tablespace USERS is built in: a new database has it already
ALTER DATABASE DATAFILE 'D:\oracle\oradata\NEWDB\USERS01.DBF' AUTOEXTEND ON
/
CREATE TABLESPACE "HR_DATA" DATAFILE 'D:\oracle\oradata\NEWDB\HR_DATA01.DBF' SIZE 5M LOGGING EXTENT MANAGEMENT LOCAL SEGMENT SPACE MANAGEMENT AUTO
/
ALTER DATABASE DATAFILE 'D:\oracle\oradata\NEWDB\HR_DATA01.DBF' AUTOEXTEND ON
/
CREATE TABLESPACE "SALES_DATA" DATAFILE 'D:\oracle\oradata\NEWDB\SALES01.DBF' SIZE 5M LOGGING EXTENT MANAGEMENT LOCAL SEGMENT SPACE MANAGEMENT AUTO
/
ALTER DATABASE DATAFILE 'D:\oracle\oradata\NEWDB\SALES01.DBF' AUTOEXTEND ON
/
CREATE TABLESPACE "SALES_HIST" DATAFILE 'D:\oracle\oradata\NEWDB\SALES_HIST01.DBF' SIZE 5M LOGGING EXTENT MANAGEMENT LOCAL SEGMENT SPACE MANAGEMENT AUTO
/
ALTER DATABASE DATAFILE 'D:\oracle\oradata\NEWDB\SALES_HIST01.DBF' AUTOEXTEND ON
/

-- Repairing DataFile 
ALTER TABLESPACE "HR_DATA" ADD DATAFILE 'D:\oracle\oradata\NEWDB\HR_DATA01.DBF' SIZE 5M AUTOEXTEND ON MAXSIZE UNLIMITED
/
ALTER TABLESPACE "SALES_DATA" ADD DATAFILE 'D:\oracle\oradata\NEWDB\SALES01.DBF' SIZE 5M AUTOEXTEND ON MAXSIZE UNLIMITED
/
ALTER TABLESPACE "SALES_DATA" ADD DATAFILE 'D:\oracle\oradata\NEWDB\SALES02.DBF' SIZE 5M AUTOEXTEND ON MAXSIZE UNLIMITED
/
ALTER TABLESPACE "SALES_HIST" ADD DATAFILE 'D:\oracle\oradata\NEWDB\SALES_HIST01.DBF' SIZE 5M AUTOEXTEND ON MAXSIZE UNLIMITED
/
-- Datafile SYSAUX01.DBF is built in: a new database has it already
ALTER TABLESPACE "SYSAUX" ADD DATAFILE 'D:\oracle\oradata\NEWDB\SYSAUX01.DBF' SIZE 5M AUTOEXTEND ON MAXSIZE UNLIMITED
/
-- Datafile SYSTEM01.DBF is built in: a new database has it already
ALTER TABLESPACE "SYSTEM" ADD DATAFILE 'D:\oracle\oradata\NEWDB\SYSTEM01.DBF' SIZE 5M AUTOEXTEND ON MAXSIZE UNLIMITED
/
-- Datafile UNDOTBS01.DBF is built in: a new database has it already
ALTER TABLESPACE "UNDOTBS1" ADD DATAFILE 'D:\oracle\oradata\NEWDB\UNDOTBS01.DBF' SIZE 5M AUTOEXTEND ON MAXSIZE UNLIMITED
/
-- Datafile USERS01.DBF is built in: a new database has it already
ALTER TABLESPACE "USERS" ADD DATAFILE 'D:\oracle\oradata\NEWDB\USERS01.DBF' SIZE 5M AUTOEXTEND ON MAXSIZE UNLIMITED
/

-- Repairing Role 
-- Role CONNECT is built in: a new database has it already
CREATE ROLE "CONNECT"
/
-- Grant of CREATE SESSION to CONNECT is built in: a new database has it already
GRANT CREATE SESSION TO "CONNECT"
/
-- Role RESOURCE is built in: a new database has it already
CREATE ROLE "RESOURCE"
/
-- Grant of CREATE TABLE to RESOURCE is built in: a new database has it already
GRANT CREATE TABLE TO "RESOURCE"
/
-- Grant of CREATE SEQUENCE to RESOURCE is built in: a new database has it already
GRANT CREATE SEQUENCE TO "RESOURCE"
/
-- Grant of CREATE PROCEDURE to RESOURCE is built in: a new database has it already
GRANT CREATE PROCEDURE TO "RESOURCE"
/
-- Grant of CREATE TRIGGER to RESOURCE is built in: a new database has it already
GRANT CREATE TRIGGER TO "RESOURCE"
/
-- Grant of CREATE TYPE to RESOURCE is built in: a new database has it already
GRANT CREATE TYPE TO "RESOURCE"
/
-- Grant of CREATE CLUSTER to RESOURCE is built in: a new database has it already
GRANT CREATE CLUSTER TO "RESOURCE"
/
-- Role DBA is built in: a new database has it already
CREATE ROLE "DBA"
/
-- Grant of CREATE USER to DBA is built in: a new database has it already
GRANT CREATE USER TO "DBA" WITH ADMIN OPTION
/
-- Grant of UNLIMITED TABLESPACE to DBA left out: Oracle grants UNLIMITED TABLESPACE to users only (ORA-01931)
CREATE ROLE "HR_CLERK"
/
ACCEPT quillon_password CHAR PROMPT 'Password for the re-created users and roles: ' HIDE
SET DEFINE ^
CREATE ROLE "SALES_MANAGER" IDENTIFIED BY "^quillon_password"
/
SET DEFINE OFF
GRANT SELECT ANY TABLE TO "SALES_MANAGER" WITH ADMIN OPTION
/

-- Repairing User 
-- User SYS is built in: a new database has it already
SET DEFINE ^
CREATE USER "SYS" IDENTIFIED BY "^quillon_password" DEFAULT TABLESPACE "SYSTEM" QUOTA UNLIMITED ON "SYSTEM" PASSWORD EXPIRE ACCOUNT UNLOCK
/
SET DEFINE OFF
-- User SYSTEM is built in: a new database has it already
SET DEFINE ^
CREATE USER "SYSTEM" IDENTIFIED BY "^quillon_password" DEFAULT TABLESPACE "SYSTEM" PASSWORD EXPIRE ACCOUNT UNLOCK
/
SET DEFINE OFF
-- Grant of DBA to SYSTEM is built in: a new database has it already
GRANT "DBA" TO "SYSTEM" WITH ADMIN OPTION
/
-- Grant of UNLIMITED TABLESPACE to SYSTEM is built in: a new database has it already
GRANT UNLIMITED TABLESPACE TO "SYSTEM"
/
-- User OUTLN is built in: a new database has it already
SET DEFINE ^
CREATE USER "OUTLN" IDENTIFIED BY "^quillon_password" DEFAULT TABLESPACE "SYSTEM" PASSWORD EXPIRE ACCOUNT LOCK
/
SET DEFINE OFF
-- User XDB is built in: a new database has it already
SET DEFINE ^
CREATE USER "XDB" IDENTIFIED BY "^quillon_password" DEFAULT TABLESPACE "SYSAUX" QUOTA UNLIMITED ON "SYSAUX" PASSWORD EXPIRE ACCOUNT LOCK
/
SET DEFINE OFF
SET DEFINE ^
CREATE USER "HR" IDENTIFIED BY "^quillon_password" DEFAULT TABLESPACE "HR_DATA" QUOTA UNLIMITED ON "HR_DATA" QUOTA UNLIMITED ON "USERS" PASSWORD EXPIRE ACCOUNT UNLOCK
/
SET DEFINE OFF
GRANT CREATE SESSION TO "HR"
/
GRANT "RESOURCE" TO "HR"
/
GRANT CREATE VIEW TO "HR"
/
GRANT CREATE DATABASE LINK TO "HR"
/
GRANT UNLIMITED TABLESPACE TO "HR"
/
SET DEFINE ^
CREATE USER "SALES" IDENTIFIED BY "^quillon_password" DEFAULT TABLESPACE "SALES_DATA" QUOTA UNLIMITED ON "SALES_DATA" QUOTA UNLIMITED ON "SALES_HIST" PASSWORD EXPIRE ACCOUNT UNLOCK
/
SET DEFINE OFF
GRANT CREATE SESSION TO "SALES"
/
GRANT "RESOURCE" TO "SALES"
/
GRANT CREATE MATERIALIZED VIEW TO "SALES"
/
GRANT UNLIMITED TABLESPACE TO "SALES"
/
GRANT "SALES_MANAGER" TO "SALES" WITH ADMIN OPTION
/
CREATE USER "REPORTER" IDENTIFIED GLOBALLY AS '' DEFAULT TABLESPACE "USERS" ACCOUNT LOCK
/
GRANT CREATE SESSION TO "REPORTER"
/
GRANT "HR_CLERK" TO "REPORTER"
/
CREATE USER "OPS$BATCH" IDENTIFIED EXTERNALLY DEFAULT TABLESPACE "USERS" ACCOUNT UNLOCK
/
GRANT CREATE SESSION TO "OPS$BATCH"
/
SET DEFINE ^
CREATE USER "GUEST" IDENTIFIED BY "^quillon_password" DEFAULT TABLESPACE "USERS" PASSWORD EXPIRE ACCOUNT UNLOCK
/
SET DEFINE OFF

-- Repairing Database Link 
-- in the session of HR: SQL*Plus asks for the password of HR
CONNECT "HR"
CREATE DATABASE LINK HQ.EXAMPLE.COM
  CONNECT TO "SCOTT" IDENTIFIED BY "**********"
  USING 'hq-db.example.com:1521/HQ'
/
-- back in the session of SYSTEM: SQL*Plus asks for its password
CONNECT SYSTEM
ALTER SESSION SET NLS_DATE_LANGUAGE=AMERICAN
/
ALTER SESSION SET NLS_NUMERIC_CHARACTERS='.,'
/
CREATE PUBLIC DATABASE LINK ARCHIVE.EXAMPLE.COM
  USING 'ARCHIVE'
/
GRANT SELECT ON "SALES"."ORDERS" TO "HR"
/
GRANT EXECUTE ON "HR"."RAISE_SALARY" TO "SALES" WITH GRANT OPTION
/
GRANT REFERENCES ON "HR"."EMPLOYEES" TO "SALES"
/
GRANT SELECT ON "HR"."EMPLOYEES" TO "REPORTER"
/
GRANT SELECT ON "HR"."DEPARTMENTS" TO "HR_CLERK"
/
GRANT UPDATE ("SALARY") ON "HR"."EMPLOYEES" TO "HR_CLERK"
/

-- Repairing Type 
CREATE TYPE "HR".address_t AS OBJECT (
  street   VARCHAR2(40),
  city     VARCHAR2(30),
  postcode VARCHAR2(10),
  MEMBER FUNCTION full_address RETURN VARCHAR2
);
/
CREATE TYPE "HR".phone_list_t AS VARRAY(5) OF VARCHAR2(20);
/
CREATE TYPE "HR".skill_tab_t AS TABLE OF VARCHAR2(40);
/

-- Repairing XmlSchema 
DECLARE
  doc CLOB;
BEGIN
  doc := '<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema" targetNamespace="http://www.example.com/po" xmlns="http://www.example.com/po" xmlns:xdb="http://xmlns.oracle.com/xdb" version="1.0" elementFormDefault="qualified">' || CHR(10);
  doc := doc || ' <xs:element name="PurchaseOrder" type="PurchaseOrderType"/>' || CHR(10);
  doc := doc || ' <xs:complexType name="PurchaseOrderType">' || CHR(10);
  doc := doc || '  <xs:sequence>' || CHR(10);
  doc := doc || '   <xs:element name="Reference" type="xs:string"/>' || CHR(10);
  doc := doc || '   <xs:element name="OrderDate" type="xs:date"/>' || CHR(10);
  doc := doc || '   <xs:element name="Amount" type="xs:decimal"/>' || CHR(10);
  doc := doc || '   <xs:element name="Customer" type="CustomerType" minOccurs="0" maxOccurs="unbounded"/>' || CHR(10);
  doc := doc || '  </xs:sequence>' || CHR(10);
  doc := doc || '  <xs:attribute name="currency" type="xs:string"/>' || CHR(10);
  doc := doc || ' </xs:complexType>' || CHR(10);
  doc := doc || ' <xs:complexType name="CustomerType">' || CHR(10);
  doc := doc || ' </xs:complexType>' || CHR(10);
  doc := doc || ' <xs:simpleType name="MoneyType">' || CHR(10);
  doc := doc || '  <xs:restriction base="xs:string"/>' || CHR(10);
  doc := doc || ' </xs:simpleType>' || CHR(10);
  doc := doc || '</xs:schema>' || CHR(10);
  DBMS_XMLSCHEMA.REGISTERSCHEMA(
    schemaurl => 'http://www.example.com/schemas/purchase_order.xsd',
    schemadoc => doc,
    local => FALSE,
    gentypes => TRUE,
    genbean => FALSE,
    gentables => FALSE,
    owner => 'SALES');
END;
/

-- Repairing Cluster 
CREATE CLUSTER "HR"."DEPT_CLU"
	(
		"DEPARTMENT_ID" NUMBER (4,0)
	)
 TABLESPACE "HR_DATA"
/

-- Repairing Table 
Create Table "HR"."REGIONS"("REGION_ID" NUMBER  CONSTRAINT "SYS_C0005001$" NOT NULL,"REGION_NAME" VARCHAR2(25) NULL)Tablespace "HR_DATA"
/
Create Table "HR"."COUNTRIES"("COUNTRY_ID" CHAR(2) CONSTRAINT "SYS_C0005003$" NOT NULL,"COUNTRY_NAME" VARCHAR2(40) NULL,"REGION_ID" NUMBER  NULL, CONSTRAINT "COUNTRY_C_ID_PK" PRIMARY KEY( "COUNTRY_ID"))ORGANIZATION INDEX Tablespace "HR_DATA"
/
Create Table "HR"."LOCATIONS"("LOCATION_ID" NUMBER (4,0) CONSTRAINT "SYS_C0005005$" NOT NULL,"STREET_ADDRESS" VARCHAR2(40) NULL,"POSTAL_CODE" VARCHAR2(12 CHAR) NULL,"CITY" VARCHAR2(30) CONSTRAINT "SYS_C0005006$" NOT NULL,"COUNTRY_ID" CHAR(2) NULL)Tablespace "HR_DATA"
/
Create Table "HR"."DEPARTMENTS"("DEPARTMENT_ID" NUMBER (4,0) CONSTRAINT "SYS_C0005008$" NOT NULL,"DEPARTMENT_NAME" VARCHAR2(30) CONSTRAINT "SYS_C0005009$" NOT NULL,"MANAGER_ID" NUMBER (6,0) NULL,"LOCATION_ID" NUMBER (4,0) NULL) CLUSTER "HR"."DEPT_CLU" ("DEPARTMENT_ID")
/
Create Table "HR"."DEPT_BUDGETS"("DEPARTMENT_ID" NUMBER (4,0) CONSTRAINT "SYS_C0005011$" NOT NULL,"FISCAL_YEAR" NUMBER (4,0) CONSTRAINT "SYS_C0005012$" NOT NULL,"BUDGET" NUMBER (12,2) NULL) CLUSTER "HR"."DEPT_CLU" ("DEPARTMENT_ID")
/
Create Table "HR"."EMPLOYEES"("EMPLOYEE_ID" NUMBER (6,0) CONSTRAINT "SYS_C0005014$" NOT NULL,"FIRST_NAME" VARCHAR2(20) NULL,"LAST_NAME" VARCHAR2(25) CONSTRAINT "SYS_C0005015$" NOT NULL,"EMAIL" VARCHAR2(25) CONSTRAINT "SYS_C0005016$" NOT NULL,"PHONE_NUMBER" VARCHAR2(20) NULL,"HIRE_DATE" DATE  CONSTRAINT "SYS_C0005017$" NOT NULL,"JOB_ID" VARCHAR2(10) NULL,"SALARY" NUMBER (8,2) NULL,"COMMISSION_PCT" NUMBER (2,2) NULL,"MANAGER_ID" NUMBER (6,0) NULL,"DEPARTMENT_ID" NUMBER (4,0) NULL,"ACTIVE" CHAR(1) NULL,"ANNUAL_SALARY" NUMBER (10,2)GENERATED ALWAYS AS ("SALARY"*12) VIRTUAL)Tablespace "HR_DATA"
/
Create Table "HR"."JOB_HISTORY"("EMPLOYEE_ID" NUMBER (6,0) CONSTRAINT "SYS_C0005023$" NOT NULL,"START_DATE" DATE  CONSTRAINT "SYS_C0005024$" NOT NULL,"END_DATE" DATE  NULL,"JOB_ID" VARCHAR2(10) NULL,"DEPARTMENT_ID" NUMBER (4,0) NULL,"COMMENTS" VARCHAR2(200) NULL, CONSTRAINT "JHIST_EMP_ID_ST_DATE_PK" PRIMARY KEY( "EMPLOYEE_ID", "START_DATE"))ORGANIZATION INDEX Tablespace "HR_DATA" PCTTHRESHOLD 30 INCLUDING "JOB_ID" OVERFLOW Tablespace "USERS"
/
Create Table "HR"."EMP_DETAILS"("ID" NUMBER (6,0) CONSTRAINT "SYS_C0005026$" NOT NULL,"CODE" CHAR(5 CHAR) NULL,"LABEL_N" NVARCHAR2(30) NULL,"CODE_N" NCHAR(4) NULL,"RATIO" FLOAT (63) NULL,"BIG_NUMBER" NUMBER (38,0) NULL,"ANY_NUMBER" NUMBER  NULL,"TOKEN" RAW(16) NULL,"SEEN" DATE  NULL,"ROW_ADDRESS" ROWID  NULL,"ANY_ADDRESS" UROWID  NULL,"RESUME" CLOB  NULL,"RESUME_N" NCLOB  NULL,"PHOTO" BLOB  NULL,"CONTRACT" BFILE  NULL,"ADDRESS" "HR"."ADDRESS_T" NULL,"PHONES" "HR"."PHONE_LIST_T" NULL,"SKILLS" "HR"."SKILL_TAB_T" NULL,"STARTED" TIMESTAMP(6)  NULL,"STARTED_TZ" TIMESTAMP(3) WITH TIME ZONE  NULL,"STARTED_LTZ" TIMESTAMP(0) WITH LOCAL TIME ZONE  NULL,"TENURE" INTERVAL YEAR(3) TO MONTH  NULL,"SHIFT" INTERVAL DAY(2) TO SECOND(6)  NULL,"SCORE" BINARY_FLOAT  NULL,"MEASURE" BINARY_DOUBLE  NULL,"PROFILE" XMLType NULL)Tablespace "HR_DATA" NESTED TABLE "SKILLS" STORE AS "EMP_SKILLS_NT"
/
Create Table "HR"."EMP_NOTES"("EMPLOYEE_ID" NUMBER (6,0) CONSTRAINT "SYS_C0005028$" NOT NULL,"NOTE" LONG  NULL,"WRITTEN" DATE  NULL)Tablespace "HR_DATA"
/
Create Table "HR"."EMP_BADGES"("EMPLOYEE_ID" NUMBER (6,0) CONSTRAINT "SYS_C0005029$" NOT NULL,"PICTURE" LONG RAW  NULL)Tablespace "HR_DATA"
/
Create Table "HR"."EMP_RESUMES_XML" of XMLTYPE
XMLTYPE STORE AS CLOB
TABLESPACE "HR_DATA"
/
Create Table "SALES"."ORDERS"("ORDER_ID" NUMBER (12,0) CONSTRAINT "SYS_C0005030$" NOT NULL,"ORDER_DATE" DATE  CONSTRAINT "SYS_C0005031$" NOT NULL,"CUSTOMER_ID" NUMBER (6,0) NULL,"STATUS" VARCHAR2(10) NULL,"TOTAL" NUMBER (10,2) NULL,"SCAN" BLOB  NULL, CONSTRAINT "ORDERS_PK" PRIMARY KEY( "ORDER_ID"))Tablespace "SALES_DATA"
PARTITION BY RANGE ("ORDER_DATE")
( PARTITION "ORDERS_2008" VALUES LESS THAN (TO_DATE(' 2009-01-01 00:00:00', 'SYYYY-MM-DD HH24:MI:SS', 'NLS_CALENDAR=GREGORIAN')) Tablespace "SALES_HIST", PARTITION "ORDERS_2009" VALUES LESS THAN (TO_DATE(' 2010-01-01 00:00:00', 'SYYYY-MM-DD HH24:MI:SS', 'NLS_CALENDAR=GREGORIAN')) Tablespace "SALES_HIST", PARTITION "ORDERS_2010" VALUES LESS THAN (TO_DATE(' 2011-01-01 00:00:00', 'SYYYY-MM-DD HH24:MI:SS', 'NLS_CALENDAR=GREGORIAN')) Tablespace "SALES_DATA", PARTITION "ORDERS_MAX" VALUES LESS THAN (MAXVALUE) Tablespace "SALES_DATA"
)
/
Create Table "SALES"."CUSTOMERS"("CUSTOMER_ID" NUMBER (6,0) CONSTRAINT "SYS_C0005033$" NOT NULL,"NAME" VARCHAR2(50) CONSTRAINT "SYS_C0005034$" NOT NULL,"CITY" VARCHAR2(30) NULL,"CREDIT_LIMIT" NUMBER (9,2) NULL, CONSTRAINT "CUSTOMERS_PK" PRIMARY KEY( "CUSTOMER_ID"))Tablespace "SALES_DATA"
PARTITION BY HASH ("CUSTOMER_ID")
( PARTITION "CUSTOMERS_P1"  Tablespace "SALES_DATA", PARTITION "CUSTOMERS_P2"  Tablespace "SALES_DATA", PARTITION "CUSTOMERS_P3"  Tablespace "SALES_DATA", PARTITION "CUSTOMERS_P4"  Tablespace "SALES_DATA"
)
/
Create Table "SALES"."ORDER_ITEMS"("ORDER_ID" NUMBER (12,0) CONSTRAINT "SYS_C0005037$" NOT NULL,"LINE_NO" NUMBER (3,0) CONSTRAINT "SYS_C0005038$" NOT NULL,"PRODUCT" VARCHAR2(40) NULL,"QUANTITY" NUMBER (8,0) NULL,"NOTES" CLOB  NULL, CONSTRAINT "ORDER_ITEMS_PK" PRIMARY KEY( "ORDER_ID", "LINE_NO"))Tablespace "SALES_DATA"
PARTITION BY RANGE ("ORDER_ID")
SUBPARTITION BY HASH ("LINE_NO")
( PARTITION "ITEMS_P1" VALUES LESS THAN (2405) Tablespace "SALES_DATA"
(SUBPARTITION "ITEMS_P1_S1"  Tablespace "SALES_DATA",SUBPARTITION "ITEMS_P1_S2"  Tablespace "SALES_DATA"
), PARTITION "ITEMS_P2" VALUES LESS THAN (MAXVALUE) Tablespace "SALES_DATA"
(SUBPARTITION "ITEMS_P2_S1"  Tablespace "SALES_DATA",SUBPARTITION "ITEMS_P2_S2"  Tablespace "SALES_DATA"
)
)
/
Create Table "SALES"."REGION_SALES"("REGION" VARCHAR2(2) CONSTRAINT "SYS_C0005040$" NOT NULL,"QUARTER" VARCHAR2(7) CONSTRAINT "SYS_C0005041$" NOT NULL,"AMOUNT" NUMBER (12,2) NULL)Tablespace "SALES_DATA"
PARTITION BY LIST ("REGION")
( PARTITION "RS_EUROPE" VALUES ('EU', 'UK') Tablespace "SALES_DATA", PARTITION "RS_AMERICA" VALUES ('US', 'CA') Tablespace "SALES_DATA", PARTITION "RS_OTHER" VALUES (DEFAULT) Tablespace "SALES_DATA"
)
/
Create Table "SALES"."SHIPMENTS"("SHIPMENT_ID" NUMBER (10,0) CONSTRAINT "SYS_C0005042$" NOT NULL,"SHIP_DATE" DATE  CONSTRAINT "SYS_C0005043$" NOT NULL,"CARRIER" VARCHAR2(10) NULL)Tablespace "SALES_DATA"
PARTITION BY RANGE ("SHIP_DATE")
SUBPARTITION BY LIST ("CARRIER")
( PARTITION "SHIP_2009" VALUES LESS THAN (TO_DATE(' 2010-01-01 00:00:00', 'SYYYY-MM-DD HH24:MI:SS', 'NLS_CALENDAR=GREGORIAN')) Tablespace "SALES_DATA"
(SUBPARTITION "SHIP_2009_DHL" VALUES ('DHL') Tablespace "SALES_DATA",SUBPARTITION "SHIP_2009_OTHER" VALUES (DEFAULT) Tablespace "SALES_DATA"
), PARTITION "SHIP_2010" VALUES LESS THAN (TO_DATE(' 2011-01-01 00:00:00', 'SYYYY-MM-DD HH24:MI:SS', 'NLS_CALENDAR=GREGORIAN')) Tablespace "SALES_DATA"
(SUBPARTITION "SHIP_2010_DHL" VALUES ('DHL') Tablespace "SALES_DATA",SUBPARTITION "SHIP_2010_OTHER" VALUES (DEFAULT) Tablespace "SALES_DATA"
)
)
/
Create Table "SALES"."EVENTS"("EVENT_ID" NUMBER (10,0) CONSTRAINT "SYS_C0005044$" NOT NULL,"EVENT_DATE" DATE  CONSTRAINT "SYS_C0005045$" NOT NULL,"KIND" VARCHAR2(20) NULL)Tablespace "SALES_DATA"
PARTITION BY RANGE ("EVENT_DATE")
interval(NUMTOYMINTERVAL(1,'MONTH'))
( PARTITION "EVENTS_FIRST" VALUES LESS THAN (TO_DATE(' 2010-01-01 00:00:00', 'SYYYY-MM-DD HH24:MI:SS', 'NLS_CALENDAR=GREGORIAN')) Tablespace "SALES_DATA"
)
/
Create Table "SALES"."PRODUCTS"("PRODUCT_ID" NUMBER (6,0) CONSTRAINT "SYS_C0005046$" NOT NULL,"NAME" VARCHAR2(40) CONSTRAINT "SYS_C0005047$" NOT NULL,"LIST_PRICE" NUMBER (8,2) NULL,"STATUS" VARCHAR2(10) NULL)Tablespace "SALES_DATA"
/
Create Table "SALES"."PRICE_HISTORY"("PRODUCT_ID" NUMBER (6,0) CONSTRAINT "SYS_C0005050$" NOT NULL,"CHANGED" DATE  CONSTRAINT "SYS_C0005051$" NOT NULL,"PRICE" NUMBER (8,2) NULL)Tablespace "SALES_DATA"
/
Create Table "HR"."EMP_SALARY_MV"("EMPLOYEE_ID" NUMBER (6,0) CONSTRAINT "SYS_C0005058$" NOT NULL,"SALARY" NUMBER (8,2) NULL,"DEPARTMENT_ID" NUMBER (4,0) NULL)Tablespace "HR_DATA"
/
Create Table "HR"."MLOG$_EMPLOYEES"("EMPLOYEE_ID" NUMBER (6,0) NULL,"SALARY" NUMBER (8,2) NULL,"DEPARTMENT_ID" NUMBER (4,0) NULL,"SNAPTIME$$" DATE  NULL,"DMLTYPE$$" VARCHAR2(1) NULL,"OLD_NEW$$" VARCHAR2(1) NULL,"CHANGE_VECTOR$$" RAW(255) NULL)Tablespace "HR_DATA"
/

-- Repairing Constraint 
ALTER TABLE "HR"."REGIONS"
    ADD CONSTRAINT "REG_ID_PK" PRIMARY KEY ( "REGION_ID")
/
ALTER TABLE "HR"."LOCATIONS"
    ADD CONSTRAINT "LOC_ID_PK" PRIMARY KEY ( "LOCATION_ID")
/
ALTER TABLE "HR"."DEPARTMENTS"
    ADD CONSTRAINT "DEPT_ID_PK" PRIMARY KEY ( "DEPARTMENT_ID")
/
ALTER TABLE "HR"."DEPT_BUDGETS"
    ADD CONSTRAINT "DEPT_BUDGET_PK" PRIMARY KEY ( "DEPARTMENT_ID", "FISCAL_YEAR")
/
ALTER TABLE "HR"."EMPLOYEES"
    ADD CONSTRAINT "EMP_COMMISSION_CK" CHECK (commission_pct between 0 and 0.99) DISABLE
/
ALTER TABLE "HR"."EMPLOYEES"
    ADD CONSTRAINT "EMP_EMAIL_UK" UNIQUE ( "EMAIL")
/
ALTER TABLE "HR"."EMPLOYEES"
    ADD CONSTRAINT "EMP_EMP_ID_PK" PRIMARY KEY ( "EMPLOYEE_ID")
/
ALTER TABLE "HR"."EMPLOYEES"
    ADD CONSTRAINT "EMP_SALARY_MIN" CHECK (salary > 0)
/
ALTER TABLE "HR"."EMPLOYEES"
    ADD CONSTRAINT "SYS_C0005022" CHECK (active in ('Y', 'N')) RELY
/
ALTER TABLE "HR"."EMP_DETAILS"
    ADD CONSTRAINT "EMP_DETAILS_PK" PRIMARY KEY ( "ID")
/
ALTER TABLE "SALES"."CUSTOMERS"
    ADD CONSTRAINT "CUST_CREDIT_LIMIT_MAX" CHECK (credit_limit <= 5000000)
/
ALTER TABLE "SALES"."PRODUCTS"
    ADD CONSTRAINT "PRODUCTS_NAME_UK" UNIQUE ( "NAME")
/
ALTER TABLE "SALES"."PRODUCTS"
    ADD CONSTRAINT "PRODUCTS_PK" PRIMARY KEY ( "PRODUCT_ID")
/

-- Repairing Index 
CREATE INDEX "HR"."DEPT_CLU_IX"
 ON CLUSTER "HR"."DEPT_CLU" 
 TABLESPACE "HR_DATA"
/
CREATE INDEX "HR"."EMP_NAME_IX"
 ON "HR"."EMPLOYEES"
	 ("LAST_NAME","FIRST_NAME"
	 )
 TABLESPACE "HR_DATA"
/
CREATE INDEX "HR"."EMP_UPPER_NAME_IX"
 ON "HR"."EMPLOYEES"
	 (UPPER("LAST_NAME")
	 )
 TABLESPACE "HR_DATA"
/
CREATE INDEX "HR"."EMP_PHONE_RIX"
 ON "HR"."EMPLOYEES"
	 ("PHONE_NUMBER"
	 )
 TABLESPACE "HR_DATA" REVERSE
/
CREATE BITMAP INDEX "HR"."EMP_JOB_BIX"
 ON "HR"."EMPLOYEES"
	 ("JOB_ID"
	 )
 TABLESPACE "HR_DATA"
/
CREATE INDEX "SALES"."ORDERS_DATE_LIX"
 ON "SALES"."ORDERS"
	 ("ORDER_DATE"
	 )
 TABLESPACE "SALES_DATA"
/

-- Repairing Column Default 
ALTER TABLE "HR"."EMPLOYEES" MODIFY("HIRE_DATE" DEFAULT SYSDATE)
/
ALTER TABLE "HR"."EMPLOYEES" MODIFY("ACTIVE" DEFAULT 'Y')
/
ALTER TABLE "SALES"."PRODUCTS" MODIFY("STATUS" DEFAULT 'orderable')
/

-- Repairing Foreign Key 
ALTER TABLE "HR"."COUNTRIES"
    ADD CONSTRAINT "COUNTR_REG_FK" FOREIGN KEY ("REGION_ID")
        REFERENCES "HR"."REGIONS"("REGION_ID")
/
ALTER TABLE "HR"."LOCATIONS"
    ADD CONSTRAINT "LOC_C_ID_FK" FOREIGN KEY ("COUNTRY_ID")
        REFERENCES "HR"."COUNTRIES"("COUNTRY_ID")
/
ALTER TABLE "HR"."DEPARTMENTS"
    ADD CONSTRAINT "DEPT_LOC_FK" FOREIGN KEY ("LOCATION_ID")
        REFERENCES "HR"."LOCATIONS"("LOCATION_ID")
/
ALTER TABLE "HR"."EMPLOYEES"
    ADD CONSTRAINT "EMP_DEPT_FK" FOREIGN KEY ("DEPARTMENT_ID")
        REFERENCES "HR"."DEPARTMENTS"("DEPARTMENT_ID") ON DELETE SET NULL
/
ALTER TABLE "HR"."EMPLOYEES"
    ADD CONSTRAINT "EMP_MANAGER_FK" FOREIGN KEY ("MANAGER_ID")
        REFERENCES "HR"."EMPLOYEES"("EMPLOYEE_ID") DEFERRABLE INITIALLY DEFERRED
/
ALTER TABLE "SALES"."PRICE_HISTORY"
    ADD CONSTRAINT "PRICE_PRODUCT_FK" FOREIGN KEY ("PRODUCT_ID")
        REFERENCES "SALES"."PRODUCTS"("PRODUCT_ID") ON DELETE CASCADE
/

-- Repairing Synonyms   
CREATE SYNONYM "HR"."STAFF"
 FOR "HR"."EMPLOYEES"
/
CREATE PUBLIC SYNONYM "EMPLOYEES"
 FOR "HR"."EMPLOYEES"
/
CREATE SYNONYM "SALES"."HQ_ORDERS"
 FOR "SALES"."ORDERS"@HQ.EXAMPLE.COM
/

-- Repairing Sequence 
CREATE SEQUENCE "HR"."EMPLOYEES_SEQ"
 INCREMENT BY 1 START WITH 221 MAXVALUE 999999999999999999999999999 MINVALUE 1
 CACHE 20 NOCYCLE NOORDER
/
CREATE SEQUENCE "HR"."DEPARTMENTS_SEQ"
 INCREMENT BY -10 START WITH -271 MAXVALUE -1 NOMINVALUE
 NOCACHE CYCLE ORDER
/
CREATE SEQUENCE "SALES"."ORDER_SEQ"
 INCREMENT BY 1 START WITH 2500 MAXVALUE 99999999 MINVALUE 1000
 CACHE 100 NOCYCLE NOORDER
/

-- Repairing View 
CREATE VIEW "HR"."EMP_V"
	(
		"EMPLOYEE_ID",
		"LAST_NAME",
		"SALARY"
	)
  AS select employee_id, last_name, salary from hr.employees where active = 'Y'
/
CREATE VIEW "HR"."EMP_ALL_DEPTS_V"
	(
		"EMPLOYEE_ID",
		"FIRST_NAME",
		"LAST_NAME",
		"SALARY"
	)
  AS select employee_id, first_name, last_name, salary from hr.employees where department_id = 10
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 20
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 30
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 40
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 50
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 60
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 70
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 80
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 90
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 100
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 110
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 120
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 130
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 140
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 150
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 160
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 170
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 180
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 190
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 200
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 210
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 220
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 230
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 240
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 250
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 260
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 270
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 280
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 290
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 300
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 310
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 320
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 330
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 340
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 350
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 360
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 370
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 380
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 390
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 400
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 410
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 420
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 430
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 440
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 450
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 460
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 470
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 480
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 490
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 500
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 510
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 520
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 530
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 540
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 550
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 560
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 570
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 580
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 590
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 600
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 610
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 620
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 630
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 640
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 650
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 660
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 670
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 680
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 690
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 700
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 710
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 720
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 730
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 740
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 750
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 760
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 770
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 780
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 790
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 800
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 810
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 820
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 830
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 840
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 850
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 860
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 870
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 880
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 890
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 900
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 910
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 920
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 930
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 940
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 950
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 960
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 970
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 980
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 990
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1000
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1010
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1020
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1030
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1040
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1050
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1060
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1070
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1080
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1090
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1100
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1110
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1120
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1130
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1140
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1150
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1160
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1170
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1180
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1190
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1200
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1210
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1220
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1230
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1240
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1250
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1260
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1270
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1280
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1290
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1300
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1310
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1320
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1330
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1340
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1350
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1360
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1370
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1380
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1390
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1400
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1410
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1420
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1430
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1440
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1450
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1460
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1470
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1480
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1490
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1500
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1510
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1520
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1530
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1540
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1550
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1560
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1570
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1580
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1590
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1600
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1610
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1620
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1630
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1640
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1650
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1660
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1670
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1680
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1690
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1700
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1710
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1720
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1730
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1740
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1750
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1760
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1770
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1780
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1790
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1800
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1810
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1820
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1830
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1840
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1850
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1860
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1870
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1880
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1890
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1900
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1910
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1920
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1930
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1940
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1950
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1960
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1970
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1980
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 1990
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2000
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2010
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2020
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2030
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2040
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2050
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2060
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2070
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2080
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2090
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2100
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2110
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2120
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2130
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2140
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2150
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2160
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2170
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2180
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2190
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2200
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2210
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2220
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2230
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2240
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2250
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2260
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2270
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2280
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2290
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2300
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2310
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2320
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2330
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2340
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2350
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2360
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2370
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2380
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2390
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2400
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2410
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2420
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2430
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2440
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2450
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2460
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2470
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2480
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2490
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2500
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2510
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2520
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2530
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2540
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2550
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2560
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2570
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2580
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2590
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2600
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2610
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2620
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2630
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2640
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2650
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2660
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2670
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2680
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2690
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2700
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2710
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2720
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2730
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2740
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2750
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2760
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2770
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2780
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2790
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2800
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2810
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2820
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2830
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2840
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2850
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2860
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2870
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2880
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2890
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2900
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2910
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2920
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2930
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2940
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2950
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2960
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2970
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2980
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 2990
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3000
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3010
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3020
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3030
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3040
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3050
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3060
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3070
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3080
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3090
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3100
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3110
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3120
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3130
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3140
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3150
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3160
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3170
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3180
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3190
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3200
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3210
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3220
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3230
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3240
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3250
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3260
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3270
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3280
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3290
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3300
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3310
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3320
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3330
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3340
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3350
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3360
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3370
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3380
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3390
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3400
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3410
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3420
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3430
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3440
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3450
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3460
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3470
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3480
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3490
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3500
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3510
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3520
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3530
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3540
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3550
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3560
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3570
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3580
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3590
union all
select employee_id, first_name, last_name, salary from hr.employees where department_id = 3600
/
CREATE VIEW "HR"."LOCATION_ADDRESS_OV" OF "HR"."ADDRESS_T" WITH OBJECT IDENTIFIER ("STREET")
  AS select street_address, city, postal_code from hr.locations
/
CREATE VIEW "SALES"."ORDER_SUMMARY_V"
	(
		"CUSTOMER_ID",
		"ORDERS",
		"TOTAL"
	)
  AS select customer_id, count(*) orders, sum(total) total from sales.orders group by customer_id
/

-- Repairing Trigger 
CREATE TRIGGER "HR"."EMP_BI_TRG"
BEFORE INSERT ON "HR"."EMPLOYEES"
  FOR EACH ROW
begin
  -- new employees start active
  :new.active := 'Y';
end;
/
CREATE TRIGGER "HR"."EMP_SALARY_TRG"
BEFORE UPDATE ON "HR"."EMPLOYEES"
  FOR EACH ROW
  WHEN (new.salary > old.salary * 2)
begin
  :new.salary := round(:new.salary, 2);
end;
/
CREATE TRIGGER "HR"."EMP_AUDIT_TRG"
AFTER INSERT OR UPDATE OR DELETE ON "HR"."EMPLOYEES"
  FOR EACH ROW
begin
  null;  -- audited elsewhere
end;
/
CREATE TRIGGER "HR"."EMP_BS_TRG"
BEFORE INSERT OR DELETE ON "HR"."EMPLOYEES"
begin
  dbms_application_info.set_action('employees');
end;
/
CREATE TRIGGER "HR"."EMP_AS_TRG"
AFTER UPDATE ON "HR"."EMPLOYEES"
begin
  null;
end;
/
ALTER TRIGGER "HR"."EMP_AS_TRG" DISABLE
/
CREATE TRIGGER "HR"."EMP_V_IOI_TRG"
INSTEAD OF INSERT ON "HR"."EMP_V"
  FOR EACH ROW
begin
  insert into hr.employees (employee_id, last_name, email, hire_date)
  values (:new.employee_id, :new.last_name, 'X' || :new.employee_id, sysdate);
end;
/
CREATE TRIGGER "HR"."HR_LOGON_TRG"
after logon on database
begin
  execute immediate 'alter session set nls_date_format = ''YYYY-MM-DD''';
end;
/
CREATE TRIGGER "HR"."HR_DDL_TRG"
before create on hr.schema
begin
  null;
end;
/

-- Repairing Function   
CREATE FUNCTION "HR".get_department_name (p_id IN NUMBER) RETURN VARCHAR2 IS
  v_name departments.department_name%TYPE;
BEGIN
  SELECT department_name INTO v_name FROM departments WHERE department_id = p_id;
  RETURN v_name;
END;
/
CREATE FUNCTION "SALES".order_total (p_order IN NUMBER) RETURN NUMBER IS
  v NUMBER;
BEGIN
  SELECT total INTO v FROM orders WHERE order_id = p_order;
  RETURN v;
END;
/

-- Repairing Materialized view log 
DROP TABLE "HR"."MLOG$_EMPLOYEES"
/
CREATE MATERIALIZED VIEW LOG ON "HR"."EMPLOYEES" WITH PRIMARY KEY ("SALARY", "DEPARTMENT_ID") EXCLUDING NEW VALUES
/

-- Repairing Materialized view
CREATE MATERIALIZED VIEW "HR"."EMP_SALARY_MV"
  ON PREBUILT TABLE
  REFRESH FAST ON DEMAND WITH PRIMARY KEY
  AS select employee_id, salary, department_id from hr.employees
/

-- Repairing Type Body   
CREATE TYPE BODY "HR".address_t AS
  MEMBER FUNCTION full_address RETURN VARCHAR2 IS
  BEGIN
    RETURN street || ', ' || postcode || ' ' || city;
  END;
END;
/

-- Repairing Stored Procedure 
CREATE PROCEDURE "HR".raise_salary (p_id IN NUMBER, p_pct IN NUMBER) IS
BEGIN
  UPDATE employees SET salary = salary * (1 + p_pct / 100)
   WHERE employee_id = p_id;
END raise_salary;
/

-- Repairing Package 
CREATE PACKAGE "HR".emp_pkg AS
  PROCEDURE hire (p_name VARCHAR2);
  FUNCTION headcount RETURN NUMBER;
END emp_pkg;
/

-- Repairing Package Body 
CREATE PACKAGE BODY "HR".emp_pkg AS
  PROCEDURE hire (p_name VARCHAR2) IS
  BEGIN
    INSERT INTO employees (employee_id, last_name, email)
    VALUES (employees_seq.NEXTVAL, p_name, upper(p_name));
  END;
  FUNCTION headcount RETURN NUMBER IS
    n NUMBER;
  BEGIN
    SELECT count(*) INTO n FROM employees;
    RETURN n;
  END;
END emp_pkg;
/

-- Repairing User Object privilege 
GRANT SELECT ON "SALES"."ORDERS" TO "HR"
/
GRANT EXECUTE ON "HR"."RAISE_SALARY" TO "SALES" WITH GRANT OPTION
/
GRANT REFERENCES ON "HR"."EMPLOYEES" TO "SALES"
/
GRANT SELECT ON "HR"."EMPLOYEES" TO "REPORTER"
/

-- Repairing Role Object privilege 
GRANT SELECT ON "HR"."DEPARTMENTS" TO "HR_CLERK"
/
GRANT UPDATE ("SALARY") ON "HR"."EMPLOYEES" TO "HR_CLERK"
/
UNDEFINE quillon_password
-- end of script
