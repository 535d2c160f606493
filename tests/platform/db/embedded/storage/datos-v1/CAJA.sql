-- The batches CAJA.db was made with, by the engine of format 1 (money and
-- decimal kept as doubles rounded to their scale):
-- estaciones-sql -U ana -d CAJA -i CAJA.sql
CREATE TABLE cobros (id int PRIMARY KEY, importe money NULL, propina smallmoney NULL, cantidad decimal(18,2) NULL, tasa decimal(10,4) NULL, entero decimal(12,0) NULL)
CREATE INDEX ix_cobros_importe ON cobros (importe)
GO
INSERT INTO cobros VALUES (1, 12.5, 0.01, 1234.56, 0.1234, 42)
INSERT INTO cobros VALUES (2, -3.25, -214748.3648, -0.01, 12.5, -99999999999)
INSERT INTO cobros VALUES (3, 0.0001, 214748.3647, 99999999.99, -1.0001, 99999999999)
INSERT INTO cobros VALUES (4, 9999999.9999, 1.5, -99999999.99, 999999.9999, 0)
INSERT INTO cobros VALUES (5, -9999999.9999, NULL, 0.1, -999999.9999, 1)
INSERT INTO cobros VALUES (6, NULL, NULL, NULL, NULL, NULL)
INSERT INTO cobros VALUES (7, 2.675, 2.675, 2.675, 2.67545, 2.5)
GO
