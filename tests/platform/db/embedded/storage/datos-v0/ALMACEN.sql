-- The batches ALMACEN.db was made with, by the engine of format 0 (before
-- dates had one width per type): estaciones-sql -U ana -d ALMACEN -i ALMACEN.sql
SET DATEFORMAT dmy
CREATE TABLE articulos (id int IDENTITY(1,1) PRIMARY KEY, nombre nvarchar(40) NOT NULL, precio money NULL, importe decimal(18,2) NULL, tasa decimal(10,4) NULL, alta datetime NULL, dia date NULL)
CREATE UNIQUE INDEX ix_articulos_nombre ON articulos (nombre)
CREATE INDEX ix_articulos_alta ON articulos (alta)
CREATE TABLE temporadas (codigo varchar(2) PRIMARY KEY, desde datetime NOT NULL, hasta smalldatetime NOT NULL)
GO
INSERT INTO articulos (nombre, precio, importe, tasa, alta, dia) VALUES (N'Ñandú', 12.5, 1234.56, 0.1234, '2024-01-07 10:20:30.123', '2024-01-07')
INSERT INTO articulos (nombre, precio, importe, tasa, alta, dia) VALUES (N'café', -3.25, -0.01, 12.5, '29/02/2024 13:45', '29/02/2024')
INSERT INTO articulos (nombre, precio, importe, tasa, alta, dia) VALUES (N'Árbol', 0.0001, 99999.99, -1.0001, '31/12/1999 23:59:59', '31/12/1999')
INSERT INTO articulos (nombre) VALUES (N'zorro')
INSERT INTO temporadas VALUES ('BA', '01/06/2025', '30/09/2025 12:00')
INSERT INTO temporadas VALUES ('AL', '20241001', '31/05/2025')
GO
